#include "nutdispatcher.h"

#include "logcategories.h"
#include "nutdescriptions.h"
#include "nutline.h"
#include "nutserverstate.h"
#include "nutsession.h"

namespace {

struct Request
{
    NutServerState &state;
    NutSession &session;
    const QByteArrayList &args; // the words after the command
    bool checked = false; // a password was checked now
    bool right = false;
};

NutReply error(const char *code)
{
    NutReply reply;
    reply.text = QByteArrayLiteral("ERR ") + code + '\n';
    return reply;
}

NutReply text(const QByteArray &lines)
{
    NutReply reply;
    reply.text = lines;
    return reply;
}

bool same(const QByteArray &word, const char *keyword)
{
    return word.compare(keyword, Qt::CaseInsensitive) == 0;
}

QByteArray description(const NutServerState &state)
{
    const NutVariable *model = state.variable("ups.model");
    return model && !model->value.isEmpty() ? model->value : QByteArrayLiteral("Unavailable");
}

QByteArray who(const NutSession &session)
{
    return session.username + '@' + session.address;
}

// The password check of the commands that need an account; admin-only ones also need the role.
// The outcome of a check made now goes into the reply for the connection's throttle.
bool permitted(Request &r, bool adminOnly)
{
    bool checked = false;
    const bool right = r.state.authenticate(r.session, &checked);
    if (checked) {
        r.checked = true;
        r.right = right;
    }
    return right && (!adminOnly || r.session.role == NutAccount::Admin);
}

NutReply ver(Request &r)
{
    return r.args.isEmpty() ? text(NutDispatcher::versionText()) : error("INVALID-ARGUMENT");
}

NutReply netver(Request &r)
{
    return r.args.isEmpty() ? text("1.3\n") : error("INVALID-ARGUMENT");
}

NutReply help(Request &r)
{
    if (!r.args.isEmpty())
        return error("INVALID-ARGUMENT");
    return text(
        "Commands: HELP VER GET LIST SET INSTCMD LOGIN LOGOUT USERNAME PASSWORD STARTTLS\n");
}

NutReply starttls(Request &r)
{
    if (r.session.tls)
        return error("ALREADY-SSL-MODE");
    if (!r.state.tlsReady())
        return error("FEATURE-NOT-CONFIGURED");
    NutReply reply = text("OK STARTTLS\n");
    reply.after = NutReply::StartTls;
    return reply;
}

// USERNAME and PASSWORD: each may be given once per connection.
NutReply setOnce(Request &r, QByteArray &value, bool &given, const char *alreadySet)
{
    if (r.args.size() != 1)
        return error("INVALID-ARGUMENT");
    if (given)
        return error(alreadySet);
    value = r.args.at(0);
    given = true;
    return text("OK\n");
}

NutReply username(Request &r)
{
    return setOnce(r, r.session.username, r.session.hasUsername, "ALREADY-SET-USERNAME");
}

NutReply password(Request &r)
{
    return setOnce(r, r.session.password, r.session.hasPassword, "ALREADY-SET-PASSWORD");
}

NutReply logout(Request &r)
{
    if (!r.args.isEmpty())
        return error("INVALID-ARGUMENT");
    if (r.session.loggedIn) {
        qCInfo(lcNetwork).noquote()
            << "User" << who(r.session) << "logged out from UPS" << r.state.upsName();
    }
    NutReply reply = text("OK Goodbye\n");
    reply.after = NutReply::Close;
    return reply;
}

NutReply login(Request &r)
{
    if (r.args.size() != 1)
        return error("INVALID-ARGUMENT");
    if (r.session.loggedIn)
        return error("ALREADY-LOGGED-IN");
    if (r.state.canonicalName(r.args.at(0)).isEmpty())
        return error("UNKNOWN-UPS");
    if (!permitted(r, false))
        return error("ACCESS-DENIED");
    r.session.loggedIn = true;
    qCInfo(lcNetwork).noquote() << "User" << who(r.session) << "logged in to UPS"
                                << r.state.upsName() + (r.session.tls ? " (TLS)" : "");
    if (r.state.loginsChanged)
        r.state.loginsChanged();
    return text("OK\n");
}

NutReply primary(Request &r, const QByteArray &granted)
{
    if (r.args.size() != 1)
        return error("INVALID-ARGUMENT");
    if (r.state.canonicalName(r.args.at(0)).isEmpty())
        return error("UNKNOWN-UPS");
    if (!permitted(r, true))
        return error("ACCESS-DENIED");
    return text("OK " + granted + '\n');
}

NutReply fsd(Request &r)
{
    if (r.args.size() != 1)
        return error("INVALID-ARGUMENT");
    if (r.state.canonicalName(r.args.at(0)).isEmpty())
        return error("UNKNOWN-UPS");
    if (!permitted(r, true))
        return error("ACCESS-DENIED");
    qCWarning(lcNetwork).noquote()
        << "Client" << who(r.session) << "set FSD on UPS" << r.state.upsName();
    r.state.setFsd(true);
    return text("OK FSD-SET\n");
}

// The checks upsd makes before a data query: the UPS exists and its data is current.
bool available(Request &r, const QByteArray &asked, NutReply *fail)
{
    if (r.state.canonicalName(asked).isEmpty()) {
        *fail = error("UNKNOWN-UPS");
        return false;
    }
    if (r.state.stale()) {
        *fail = error("DATA-STALE");
        return false;
    }
    return true;
}

NutReply getVariable(Request &r, const QByteArray &ups, const QByteArray &name, bool type)
{
    NutReply fail;
    if (!available(r, ups, &fail))
        return fail;
    const NutVariable *v = r.state.variable(name);
    if (!v)
        return error("VAR-NOT-SUPPORTED");
    if (!type)
        return text("VAR " + ups + ' ' + name + ' ' + NutLine::quote(v->value) + '\n');
    const QByteArray kind = v->text
        ? "STRING:" + QByteArray::number(std::max(64, int(v->value.size())))
        : QByteArrayLiteral("NUMBER");
    return text("TYPE " + ups + ' ' + name + ' ' + kind + '\n');
}

NutReply getDescription(Request &r, const QByteArray &ups, const QByteArray &name, bool command)
{
    if (r.state.canonicalName(ups).isEmpty())
        return error("UNKNOWN-UPS");
    if (!NutLine::isPlainName(name))
        return error("INVALID-ARGUMENT");
    QByteArray desc = command ? NutDescriptions::command(name) : NutDescriptions::variable(name);
    if (desc.isEmpty())
        desc = "Description unavailable";
    return text((command ? "CMDDESC " : "DESC ") + ups + ' ' + name + ' ' +
                NutLine::quote(desc) + '\n');
}

NutReply get(Request &r)
{
    const QByteArrayList &a = r.args;
    if (a.size() < 2)
        return error("INVALID-ARGUMENT");
    if (same(a.at(0), "NUMLOGINS")) {
        NutReply fail;
        if (!available(r, a.at(1), &fail))
            return fail;
        return text("NUMLOGINS " + a.at(1) + ' ' + QByteArray::number(r.state.loginCount()) + '\n');
    }
    if (same(a.at(0), "UPSDESC")) {
        if (r.state.canonicalName(a.at(1)).isEmpty())
            return error("UNKNOWN-UPS");
        return text("UPSDESC " + a.at(1) + ' ' + NutLine::quote(description(r.state)) + '\n');
    }
    if (a.size() < 3)
        return error("INVALID-ARGUMENT");
    if (same(a.at(0), "VAR"))
        return getVariable(r, a.at(1), a.at(2), false);
    if (same(a.at(0), "TYPE"))
        return getVariable(r, a.at(1), a.at(2), true);
    if (same(a.at(0), "DESC"))
        return getDescription(r, a.at(1), a.at(2), false);
    if (same(a.at(0), "CMDDESC"))
        return getDescription(r, a.at(1), a.at(2), true);
    return error("INVALID-ARGUMENT");
}

QByteArray list(const QByteArray &what, const QByteArray &lines)
{
    return "BEGIN LIST " + what + '\n' + lines + "END LIST " + what + '\n';
}

NutReply list(Request &r)
{
    const QByteArrayList &a = r.args;
    if (a.isEmpty())
        return error("INVALID-ARGUMENT");
    if (same(a.at(0), "UPS")) {
        return text(list("UPS",
                         "UPS " + r.state.upsName() + ' ' +
                             NutLine::quote(description(r.state)) + '\n'));
    }
    if (a.size() < 2)
        return error("INVALID-ARGUMENT");
    const QByteArray &ups = a.at(1);
    NutReply fail;
    if (same(a.at(0), "VAR")) {
        if (!available(r, ups, &fail))
            return fail;
        return text(list("VAR " + ups, r.state.varLines(ups)));
    }
    if (same(a.at(0), "RW")) {
        return available(r, ups, &fail) ? text(list("RW " + ups, QByteArray())) : fail;
    }
    if (same(a.at(0), "CMD")) {
        if (!available(r, ups, &fail))
            return fail;
        QByteArray lines;
        for (const NutOfferedCommand &c : r.state.snapshot().commands)
            lines += "CMD " + ups + ' ' + c.name + '\n';
        return text(list("CMD " + ups, lines));
    }
    if (same(a.at(0), "CLIENT")) {
        const QByteArray name = r.state.configuredName(ups);
        if (name.isEmpty())
            return error("UNKNOWN-UPS");
        QByteArray lines;
        for (const NutSession *s : r.state.sessions()) {
            if (s->loggedIn)
                lines += "CLIENT " + name + ' ' + s->address + '\n';
        }
        return text(list("CLIENT " + ups, lines));
    }
    if (a.size() < 3)
        return error("INVALID-ARGUMENT");
    if (same(a.at(0), "ENUM") || same(a.at(0), "RANGE")) {
        if (!available(r, ups, &fail))
            return fail;
        if (!r.state.variable(a.at(2)))
            return error("VAR-NOT-SUPPORTED");
        return text(list(a.at(0).toUpper() + ' ' + ups + ' ' + a.at(2), QByteArray()));
    }
    return error("INVALID-ARGUMENT");
}

NutReply set(Request &r)
{
    const QByteArrayList &a = r.args;
    if (a.size() != 4 || !same(a.at(0), "VAR"))
        return error("INVALID-ARGUMENT");
    if (r.state.canonicalName(a.at(1)).isEmpty())
        return error("UNKNOWN-UPS");
    if (!permitted(r, true))
        return error("ACCESS-DENIED");
    if (r.state.stale())
        return error("DATA-STALE");
    return error(r.state.variable(a.at(2)) ? "READONLY" : "VAR-NOT-SUPPORTED");
}

NutReply instcmd(Request &r)
{
    const QByteArrayList &a = r.args;
    if (a.size() < 2)
        return error("INVALID-ARGUMENT");
    NutReply fail;
    if (!available(r, a.at(0), &fail))
        return fail;
    const NutOfferedCommand *command = r.state.command(a.at(1));
    if (!command)
        return error("CMD-NOT-SUPPORTED");
    if (!permitted(r, true))
        return error("ACCESS-DENIED");
    QByteArray parameter;
    if (command->maxSeconds > 0) {
        // A time in seconds, as NUT's drivers take it.
        bool ok = a.size() <= 2;
        const int seconds = ok ? command->defaultSeconds : a.at(2).toInt(&ok);
        if (!ok || seconds < 1 || seconds > command->maxSeconds)
            return error("INVALID-ARGUMENT");
        parameter = QByteArray::number(seconds);
    }
    if (!command->refusal.isEmpty()) {
        qCInfo(lcNetwork).noquote() << "Instant command" << command->name << "from"
                                    << who(r.session) << "refused:" << command->refusal;
        return error("INSTCMD-FAILED");
    }
    qCInfo(lcNetwork).noquote() << "Instant command" << command->name << parameter << "from"
                                << who(r.session);
    if (r.state.runCommand)
        r.state.runCommand(command->name, parameter, r.session);
    return text("OK\n");
}

using Handler = NutReply (*)(Request &);

struct Entry
{
    const char *name;
    Handler handler;
    bool needsAccount; // user name and password must have been given
};

NutReply primaryGranted(Request &r)
{
    return primary(r, "PRIMARY-GRANTED");
}

NutReply masterGranted(Request &r)
{
    return primary(r, "MASTER-GRANTED");
}

const Entry commands[] = {
    {"VER", ver, false},
    {"NETVER", netver, false},
    {"PROTVER", netver, false},
    {"HELP", help, false},
    {"STARTTLS", starttls, false},
    {"GET", get, false},
    {"LIST", list, false},
    {"USERNAME", username, false},
    {"PASSWORD", password, false},
    {"LOGIN", login, true},
    {"LOGOUT", logout, false},
    {"PRIMARY", primaryGranted, true},
    {"MASTER", masterGranted, true},
    {"FSD", fsd, true},
    {"SET", set, true},
    {"INSTCMD", instcmd, true},
};

} // namespace

NutReply NutDispatcher::handle(NutServerState &state, NutSession &session, const QByteArray &line)
{
    QByteArrayList words;
    if (!NutLine::split(line, &words))
        return error("INVALID-ARGUMENT");
    return handleWords(state, session, words);
}

NutReply NutDispatcher::handleWords(NutServerState &state, NutSession &session,
                                    const QByteArrayList &words)
{
    if (words.isEmpty())
        return error("UNKNOWN-COMMAND");
    for (const Entry &entry : commands) {
        if (!same(words.at(0), entry.name))
            continue;
        if (entry.needsAccount && !session.hasUsername)
            return error("USERNAME-REQUIRED");
        if (entry.needsAccount && !session.hasPassword)
            return error("PASSWORD-REQUIRED");
        const QByteArrayList args = words.mid(1);
        Request request {state, session, args};
        NutReply reply = entry.handler(request);
        reply.passwordChecked = request.checked;
        reply.passwordRight = request.right;
        return reply;
    }
    return error("UNKNOWN-COMMAND");
}

NutReply NutDispatcher::tooLong()
{
    return error("TOO-LONG");
}

const QByteArray &NutDispatcher::versionText()
{
    static const QByteArray text = QByteArrayLiteral(
        "Network UPS Tools upsd 2.8.0 - served by Quelta " QUELTA_APP_VERSION "\n");
    return text;
}
