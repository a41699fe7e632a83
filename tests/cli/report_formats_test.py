# SPDX-License-Identifier: GPL-3.0-or-later
"""lintwick-report --format csv|json read back with Python's own parsers: every path comes back as the
exact bytes on disk, times and sizes agree with the files, and the groups are the text output's."""

import base64
import csv
import datetime
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest

REPORT = sys.argv.pop(1)

# Names that CSV and JSON writers get wrong: separators, quotes, line ends and bytes that are not UTF-8.
AWKWARD = [b"comma,name.txt", b'quote"name.txt', b"new\nline.txt", b"cr\rname", b"bad\xff\xfe.txt",
           b"caf\xc3\xa9", b"tab\tand \\ back"]


class ReportFormats(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = os.fsencode(self.dir.name) + b"/"
        when = 912870246  # a winter afternoon, 1998
        for n, folder in enumerate([b"a", b"b", b"c/deeper"]):
            os.makedirs(self.root + folder)
            for k, name in enumerate(AWKWARD + [b"only-in-" + folder.replace(b"/", b"-")]):
                if folder == b"c/deeper" and k % 2:
                    continue  # groups of two and of three
                path = self.root + folder + b"/" + name
                with open(path, "wb") as f:
                    f.write(b"x" * (n * 10 + k))
                os.utime(path, (when, when + 3600 * 24 * 200 * n + k))  # winter and summer times

    def tearDown(self):
        self.dir.cleanup()

    def report(self, mode, *options):
        env = dict(os.environ, TZ="Europe/Berlin", LC_ALL="C")
        run = subprocess.run([REPORT, mode, *options, self.root], capture_output=True, env=env, check=True)
        return run.stdout, run.stderr.decode().splitlines()[-1]

    def check_file(self, path, time, size):
        st = os.stat(path)
        self.assertEqual(size, st.st_size, path)
        stamp = datetime.datetime.fromisoformat(time)
        self.assertIsNotNone(stamp.utcoffset(), time)
        self.assertEqual(stamp.timestamp(), int(st.st_mtime), path)

    def csv_rows(self, mode, *options):
        out, _ = self.report(mode, "--format", "csv", *options)
        self.assertTrue(out.endswith(b"\r\n"))
        # surrogateescape carries the bytes that are not UTF-8 through the str-based csv module.
        text = out.decode("utf-8", "surrogateescape")
        return list(csv.reader(io.StringIO(text, newline=""), strict=True))

    def test_csv_and_json_give_back_the_bytes_on_disk_in_the_text_outputs_groups(self):
        rows = self.csv_rows("dupes")
        self.assertEqual(rows[0], ["time", "size", "path", "group"])
        csv_files = []
        for time, size, path, group in rows[1:]:
            raw = path.encode("utf-8", "surrogateescape")
            self.check_file(raw, time, int(size))
            csv_files.append((raw, int(group)))

        names = {}
        for folder, _, files in os.walk(self.root):
            for name in files:
                names.setdefault(name.upper(), []).append(os.path.join(folder, name))
        repeated = {p for paths in names.values() if len(paths) > 1 for p in paths}
        self.assertEqual({raw for raw, _ in csv_files}, repeated)
        self.assertEqual(len(csv_files), len(repeated))

        out, outcome = self.report("dupes", "--format", "json")
        document = json.loads(out.decode("utf-8"))  # strict: the document itself is UTF-8
        self.assertEqual(document["report"], "dupes")
        self.assertEqual(document["outcome"], outcome)
        json_files = []
        for row in document["rows"]:
            if "path_base64" in row:
                raw = base64.b64decode(row["path_base64"], validate=True)
                self.assertEqual(row["path"], raw.decode("utf-8", "replace"))
                self.assertRaises(UnicodeDecodeError, raw.decode, "utf-8")
            else:
                raw = row["path"].encode("utf-8")
            self.check_file(raw, row["time"], row["size"])
            json_files.append((raw, row["group"]))
        self.assertEqual(json_files, csv_files)
        self.assertIn(b"bad\xff\xfe.txt", b"".join(raw for raw, _ in json_files))

        # Text: groups are separated by one empty line; no name here holds an empty line.
        text, text_outcome = self.report("dupes")
        self.assertEqual(text_outcome, outcome)
        self.assertEqual(outcome, "Dust Complete: %d Groups Found" % csv_files[-1][1])
        blocks = text[:-1].split(b"\n\n")
        self.assertEqual(len(blocks), csv_files[-1][1])
        for number, block in enumerate(blocks, start=1):
            members = [raw for raw, group in csv_files if group == number]
            self.assertEqual(len(block.split(b"\n")), len(members) + sum(m.count(b"\n") for m in members))
            at = 0
            for raw in members:
                at = block.find(b"  " + raw, at)
                self.assertNotEqual(at, -1, (number, raw, block))
                at += len(raw)

    def test_reports_without_groups(self):
        rows = self.csv_rows("size", "--kb", "0", "--mask", "*name*")
        self.assertEqual(rows[0], ["time", "size", "path"])
        self.assertEqual(len(rows) - 1, 7)  # comma, quote and cr names in a and b; only the comma name in c
        for time, size, path in rows[1:]:
            self.check_file(path.encode("utf-8", "surrogateescape"), time, int(size))

        out, outcome = self.report("zero", "--format", "json", "--mask", "*.none")
        self.assertEqual(json.loads(out), {"report": "zero", "outcome": outcome, "rows": []})
        self.assertEqual(outcome, "Dust Complete - Nothing Found")


if __name__ == "__main__":
    unittest.main(verbosity=2)
