#include "fakehid.h"

#include <QFile>

#include <hidapi/hidapi.h>

#include <QHash>
#include <QQueue>
#include <cstring>
#include <cwchar>
#include <unistd.h>

struct hid_device_
{
    int generation;
};

namespace {

struct Answer
{
    bool failed = false;
    QByteArray bytes;
    QString text;
};

struct Script
{
    QHash<int, Answer> standing;
    QHash<int, QQueue<Answer>> pushed;

    void add(int key, const Answer &answer, bool once)
    {
        if (once)
            pushed[key].enqueue(answer);
        else
            standing.insert(key, answer);
    }

    bool take(int key, Answer *answer)
    {
        auto queue = pushed.find(key);
        if (queue != pushed.end() && !queue->isEmpty()) {
            *answer = queue->dequeue();
            return true;
        }
        auto it = standing.constFind(key);
        if (it == standing.constEnd())
            return false;
        *answer = *it;
        return true;
    }
};

struct State
{
    bool attached = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QByteArray path = "/dev/hidraw-fake";
    int generation = 0; // bumped at every detach, so older handles die
    Script reports;
    Script strings;
    FakeHid::Records records;
    int openHandles = 0;
    int initCalls = 0;
};

State &state()
{
    static State s;
    return s;
}

bool alive(const hid_device *dev)
{
    return dev && state().attached && dev->generation == state().generation;
}

bool matches(quint16 vendorId, quint16 productId)
{
    // hidapi treats 0 as "any", for both ids.
    const State &s = state();
    return s.attached && (vendorId == 0 || vendorId == s.vendorId) &&
        (productId == 0 || productId == s.productId);
}

} // namespace

void FakeHid::reset()
{
    state() = State();
}

void FakeHid::attach(quint16 vendorId, quint16 productId, const QString &path)
{
    State &s = state();
    s.attached = true;
    s.vendorId = vendorId;
    s.productId = productId;
    s.path = QFile::encodeName(path);
}

void FakeHid::detach()
{
    state().attached = false;
    ++state().generation;
}

void FakeHid::setReport(quint8 id, const QByteArray &bytes, bool once)
{
    state().reports.add(id, {false, bytes, {}}, once);
}

void FakeHid::setReportFailure(quint8 id, bool once)
{
    state().reports.add(id, {true, {}, {}}, once);
}

void FakeHid::setString(int index, const QString &text, bool once)
{
    state().strings.add(index, {false, {}, text}, once);
}

void FakeHid::setStringFailure(int index, bool once)
{
    state().strings.add(index, {true, {}, {}}, once);
}

FakeHid::Records &FakeHid::records()
{
    return state().records;
}

void FakeHid::clearRecords()
{
    state().records = Records();
}

int FakeHid::openHandles()
{
    return state().openHandles;
}

int FakeHid::initCalls()
{
    return state().initCalls;
}

QByteArray FakeHid::measurement(quint16 inputDeciVolt, quint8 status, bool commFault)
{
    QByteArray r(21, '\0');
    r[0] = 1;
    const quint16 words[] = {inputDeciVolt,
                             1000,
                             2298,
                             2710,
                             500,
                             305,
                             87,
                             42,
                             quint16((status << 1) | (commFault ? 1 : 0))};
    for (int i = 0; i < 9; ++i) {
        const int at = i < 4 ? 1 + 2 * i : 2 + 2 * i; // byte 9 is the load
        r[at] = char(words[i] & 0xFF);
        r[at + 1] = char(words[i] >> 8);
    }
    r[9] = 35;
    return r;
}

// The hidapi functions, with the linkage <hidapi/hidapi.h> declares.

int hid_init(void)
{
    ++state().initCalls;
    return 0;
}

int hid_exit(void)
{
    return 0;
}

hid_device *hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t *)
{
    State &s = state();
    s.records.openCalls.append(qMakePair(quint16(vendor_id), quint16(product_id)));
    if (!matches(vendor_id, product_id))
        return nullptr;
    // A node given as a real file is opened as the real library would, for reading and writing.
    if (::access(s.path.constData(), F_OK) == 0 && ::access(s.path.constData(), R_OK | W_OK) != 0)
        return nullptr;
    ++s.openHandles;
    return new hid_device {s.generation};
}

void hid_close(hid_device *dev)
{
    if (!dev)
        return;
    --state().openHandles;
    delete dev;
}

struct hid_device_info *hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    State &s = state();
    ++s.records.enumerateCalls;
    if (!matches(vendor_id, product_id))
        return nullptr;
    auto *info = new hid_device_info;
    std::memset(info, 0, sizeof *info);
    info->path = strdup(s.path.constData());
    info->vendor_id = s.vendorId;
    info->product_id = s.productId;
    return info;
}

void hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        free(devs->path);
        delete devs;
        devs = next;
    }
}

int hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    State &s = state();
    if (!data || length == 0)
        return -1;
    s.records.reportRequests.append(data[0]);
    Answer answer;
    if (!alive(dev))
        return -1;
    if (!s.reports.take(data[0], &answer))
        return 0;
    if (answer.failed)
        return -1;
    const size_t n = qMin(length, size_t(answer.bytes.size()));
    std::memcpy(data, answer.bytes.constData(), n);
    return int(n);
}

int hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    if (!alive(dev) || !data)
        return -1;
    state().records.sentReports.append(
        QByteArray(reinterpret_cast<const char *>(data), int(length)));
    return int(length);
}

int hid_get_indexed_string(hid_device *dev, int string_index, wchar_t *string, size_t maxlen)
{
    State &s = state();
    s.records.stringRequests.append(string_index);
    if (!alive(dev) || !string || maxlen == 0)
        return -1;
    Answer answer;
    if (!s.strings.take(string_index, &answer) || answer.failed)
        return -1;
    const std::wstring text = answer.text.toStdWString();
    const size_t n = qMin(maxlen - 1, text.size());
    std::wmemcpy(string, text.data(), n);
    string[n] = L'\0';
    return 0;
}
