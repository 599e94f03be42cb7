#pragma once

#include <QByteArray>
#include <QScopedPointer>
#include <QStringList>

class UpsModel;
class RequestHandlerPrivate;

// Turns one request frame into the bytes the unit sends back, as a real unit does:
// - a query (Q1, F, I, NQU, BT, BP, A1) gets its reply line;
// - a control request (T, TL, Tnn, CT, Q, S.n, Snn, S..Rmmmm, C) acts on the model and gets no
//   reply at all, also when the unit refuses it (a test while on battery, a cancel without test);
// - anything else is echoed back unchanged, the way these units answer what they cannot handle.
// Line behaviour on top: silent (the frame is dropped as if the cable were out), answering only a
// chosen set of queries, echoing every request before its reply, and corrupting a field of a
// query's replies (its other fields, start character and carriage return stay as they are).
class RequestHandler
{
public:
    explicit RequestHandler(UpsModel *ups);
    ~RequestHandler();

    // `frame` is the request with or without its carriage return.
    QByteArray handle(const QByteArray &frame);
    // The same without the line behaviour (the "request" command).
    QByteArray respond(const QByteArray &frame);

    void setSilent(bool silent);
    bool isSilent() const;
    // Empty list: answer every query. Names as on the line (Q1, BP, ...); "none" answers none.
    void setAnswered(const QStringList &queries);
    QStringList answered() const;
    void setEcho(bool echo);
    bool echo() const;
    // Field `field` (from 1; the fields are what the spaces between the start character and the
    // carriage return separate) of the next `count` replies to `query` (-1: every reply) becomes
    // `text`. A query named again replaces its corruption.
    void setCorruption(const QString &query, int field, const QByteArray &text, int count);
    // The corruption of `query`, or of every query when it is empty, ends.
    void clearCorruption(const QString &query = QString());
    // "Q1:6" for each query corrupted now.
    QStringList corrupted() const;

    static QStringList queryNames();

private:
    QScopedPointer<RequestHandlerPrivate> d;
};
