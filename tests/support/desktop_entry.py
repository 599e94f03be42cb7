#!/usr/bin/python3
"""Reads a desktop entry as the desktop does (GLib), and prints as JSON: the command of its Exec
key split into arguments, whether it is hidden, and what desktop-file-validate says of it."""
import json
import subprocess
import sys

import gi

gi.require_version("GLib", "2.0")
from gi.repository import GLib  # noqa: E402

path = sys.argv[1]
entry = GLib.KeyFile()
entry.load_from_file(path, GLib.KeyFileFlags.NONE)
group = GLib.KEY_FILE_DESKTOP_GROUP
command = entry.get_string(group, GLib.KEY_FILE_DESKTOP_KEY_EXEC)
# The only field code an entry without files or URLs can hold is the escaped percent sign.
argv = GLib.shell_parse_argv(command.replace("%%", "%"))[1]
try:
    hidden = entry.get_boolean(group, "Hidden")
except GLib.Error:
    hidden = False
check = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
print(json.dumps({"argv": argv, "hidden": hidden, "validate": check.stdout + check.stderr}))
