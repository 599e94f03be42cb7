#pragma once

#include <QString>

// A folder whose writes fail the way they do on a full disk, for as long as the test wants.
//
// Tmpfs: a tmpfs of `size` (64 KiB unless given) is mounted on the folder (root may mount) and fill() takes its last
// free byte with a filler file, so the kernel refuses further writes with ENOSPC.
// FileSizeLimit: where nothing can be mounted (no privileges), fill() lowers this process's
// file size limit to 0 with SIGXFSZ ignored, so every write to a regular file fails with EFBIG.
// Both make the kernel refuse real writes; nothing in the program is told.
class FullDisk
{
public:
    enum Method { Tmpfs, FileSizeLimit };

    FullDisk(const QString &folder, Method method, const QByteArray &size = "64k");
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    // False when the method cannot be had here (why() says why): the test skips that row.
    bool isReady() const { return m_ready; }
    QString why() const { return m_why; }

    void fill();
    void release();
    // A write of a few bytes into the folder fails now (the test checks the disk is full).
    bool refusesWrites() const;

private:
    QString m_folder;
    Method m_method;
    bool m_ready = false;
    bool m_mounted = false;
    bool m_full = false;
    QString m_why;
};
