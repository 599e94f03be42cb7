#!/usr/bin/python3
"""A loopback SMTP server for the tests, built on aiosmtpd.

Prints "PORT <n>" once it listens on 127.0.0.1 and serves until killed. Every message it accepts
is written to --dir as NNN.eml (the data as received) and NNN.json (envelope and login).
Modes: plain, starttls (offers and requires STARTTLS), tls (TLS from the start), silent (accepts
connections and never says a word).
"""
import argparse
import asyncio
import json
import os
import ssl

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--mode", default="plain", choices=["plain", "starttls", "tls", "silent"])
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--auth")  # user:password that the server accepts
    p.add_argument("--delay-first-data", type=float, default=0.0)
    p.add_argument("--refuse-rcpt", action="append", default=[])
    p.add_argument("--mute-quit", action="store_true")  # never answer QUIT
    return p.parse_args()


class Handler:
    def __init__(self, args):
        self.args = args
        self.count = 0
        self.data_calls = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if any(part in address for part in self.args.refuse_rcpt):
            return "550 5.1.1 recipient refused"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.data_calls += 1
        print("DATA %d" % self.data_calls, flush=True)
        if self.data_calls == 1 and self.args.delay_first_data > 0:
            await asyncio.sleep(self.args.delay_first_data)
        self.count += 1
        base = os.path.join(self.args.dir, "%03d" % self.count)
        with open(base + ".eml.part", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        # The authenticator below leaves the login name as text.
        login = getattr(session, "auth_data", None)
        meta = {"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
                "login": login if isinstance(login, str) else None,
                "tls": server.transport.get_extra_info("ssl_object") is not None}
        with open(base + ".json", "w") as f:
            json.dump(meta, f)
        os.rename(base + ".eml.part", base + ".eml")
        return "250 Message accepted"


def authenticator(expected):
    user, _, password = expected.partition(":")

    def check(server, session, envelope, mechanism, auth_data):
        if isinstance(auth_data, LoginPassword):
            if auth_data.login.decode() == user and auth_data.password.decode() == password:
                return AuthResult(success=True, auth_data=auth_data.login.decode())
        # handled=False makes aiosmtpd send the 535 reply itself.
        return AuthResult(success=False, handled=False)
    return check


async def main():
    args = parse_args()
    loop = asyncio.get_running_loop()
    context = None
    if args.mode in ("starttls", "tls"):
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    if args.mode == "silent":
        class Silent(asyncio.Protocol):
            def connection_made(self, transport):
                self.transport = transport
                print("CONNECT", flush=True)
        server = await loop.create_server(Silent, "127.0.0.1", 0)
    else:
        handler = Handler(args)
        kwargs = {"hostname": "quelta-test", "auth_require_tls": False}
        if args.auth:
            kwargs["authenticator"] = authenticator(args.auth)
        if args.mode == "starttls":
            kwargs["tls_context"] = context
            kwargs["require_starttls"] = True

        class LoggingSMTP(SMTP):
            def connection_made(self, transport):
                if not getattr(self, "_seen_connection", False):
                    self._seen_connection = True
                    print("CONNECT", flush=True)
                super().connection_made(transport)

            async def smtp_QUIT(self, arg):
                if args.mute_quit:
                    print("QUIT", flush=True)
                    await asyncio.sleep(3600)
                return await super().smtp_QUIT(arg)

        def factory():
            return LoggingSMTP(handler, **kwargs)
        server = await loop.create_server(factory, "127.0.0.1", 0,
                                          ssl=context if args.mode == "tls" else None)
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
