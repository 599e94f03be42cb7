#!/usr/bin/python3
"""Dumps the messages a test SMTP server received as JSON: envelope, decoded headers, text body
and attachments (each saved beside the message so a test can open it)."""
import email
import email.policy
import json
import os
import sys


def main(folder):
    out = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".eml"):
            continue
        base = os.path.join(folder, name[:-4])
        with open(base + ".eml", "rb") as f:
            msg = email.message_from_binary_file(f, policy=email.policy.default)
        with open(base + ".json") as f:
            meta = json.load(f)
        body = msg.get_body(preferencelist=("plain",))
        attachments = []
        for i, part in enumerate(msg.iter_attachments()):
            data = part.get_payload(decode=True) or b""
            # Named after the attachment, so a reader that goes by the extension can open it.
            path = "%s-%d-%s" % (base, i, os.path.basename(part.get_filename() or "part.bin"))
            with open(path, "wb") as f:
                f.write(data)
            attachments.append({"filename": part.get_filename(),
                                "content_type": part.get_content_type(), "path": path})
        from_header = msg["From"]
        out.append({
            "envelope_from": meta["mail_from"],
            "envelope_to": meta["rcpt_tos"],
            "login": meta["login"],
            "tls": meta["tls"],
            "from_name": from_header.addresses[0].display_name if from_header else None,
            "subject": str(msg["Subject"]),
            "date": str(msg["Date"]),
            "message_id": str(msg["Message-ID"]),
            "body": body.get_content() if body is not None else None,
            "attachments": attachments,
            "defects": [str(d) for d in msg.defects],
        })
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
