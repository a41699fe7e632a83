# SPDX-License-Identifier: GPL-3.0-or-later
"""Lintwick as a distribution sees it: `cmake --install` into a temporary DESTDIR and the Debian
package from CPack, each checked with the tools that judge such files (desktop-file-validate,
appstreamcli, man, dpkg-deb, lintian), and the installed programs run from where they landed."""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

parser = argparse.ArgumentParser()
for option in ("--cmake", "--cpack", "--build", "--probe", "--version"):
    parser.add_argument(option, required=True)
ARGS, UNITTEST_ARGS = parser.parse_known_args()

APP_ID = "example.corvane.Lintwick"
# Every file an installation holds, relative to the prefix /usr.
INSTALLED = [
    "bin/lintwick",
    "bin/lintwick-report",
    f"share/applications/{APP_ID}.desktop",
    f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
    f"share/metainfo/{APP_ID}.metainfo.xml",
    "share/lintwick/Lintwick.hlp",
    "share/man/man1/lintwick.1.gz",
    "share/man/man1/lintwick-report.1.gz",
    "share/doc/lintwick/copyright",
    "share/doc/lintwick/changelog.gz",
]


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.destdir = os.path.join(cls.temp.name, "dest")
        installed = run(ARGS.cmake, "--install", ARGS.build, "--prefix", "/usr",
                        env=dict(os.environ, DESTDIR=cls.destdir))
        if installed.returncode != 0:
            raise RuntimeError("cmake --install failed:\n" + installed.stdout + installed.stderr)
        cls.usr = os.path.join(cls.destdir, "usr")

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def path(self, relative):
        return os.path.join(self.usr, relative)

    def test_tree_holds_exactly_the_programs_and_their_files(self):
        found = sorted(os.path.relpath(os.path.join(folder, name), self.usr)
                       for folder, _, names in os.walk(self.destdir) for name in names)
        self.assertEqual(found, sorted(INSTALLED))
        for program in ("bin/lintwick", "bin/lintwick-report"):
            self.assertTrue(os.access(self.path(program), os.X_OK), program)

    def test_desktop_entry_and_metadata_pass_their_validators(self):
        entry = self.path(f"share/applications/{APP_ID}.desktop")
        checked = run("desktop-file-validate", entry)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertNotRegex(checked.stdout, r"(error|warning):")
        with open(entry) as f:
            fields = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        self.assertEqual(fields["Name"], "Lintwick")
        self.assertEqual(fields["Categories"], "Utility;System;Filesystem;")
        self.assertTrue(os.path.exists(self.path("bin/" + fields["Exec"].split()[0])))
        self.assertTrue(os.path.exists(self.path(f"share/icons/hicolor/scalable/apps/{fields['Icon']}.svg")))
        for word in ("duplicate", "large", "empty"):
            self.assertIn(word, fields["Keywords"])

        metadata = self.path(f"share/metainfo/{APP_ID}.metainfo.xml")
        checked = run("appstreamcli", "validate", "--no-net", metadata)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        with open(metadata) as f:
            text = f.read()
        self.assertIn(f'<launchable type="desktop-id">{APP_ID}.desktop</launchable>', text)
        self.assertRegex(text, r"<caption>[^<]+</caption>")

    def test_manual_pages_render_without_warnings(self):
        env = dict(os.environ, LC_ALL="C.UTF-8", MANROFFSEQ="", MANWIDTH="80")
        for page, name in (("lintwick.1.gz", "lintwick"), ("lintwick-report.1.gz", "lintwick-report")):
            file = self.path("share/man/man1/" + page)
            shown = run("man", "--warnings", "-E", "UTF-8", "-l", file, env=env)
            self.assertEqual(shown.returncode, 0, page)
            self.assertEqual(shown.stderr, "", page)
            self.assertIn(f"{name} - ", shown.stdout)
        report_page = run("man", "-l", self.path("share/man/man1/lintwick-report.1.gz"), env=env).stdout
        for option in ("--mask", "--kb", "--mb", "--format", "--help", "--version"):
            self.assertIn(option, report_page)

    def test_installed_report_runs_from_where_it_landed(self):
        report = self.path("bin/lintwick-report")
        version = run(report, "--version")
        self.assertEqual(version.stdout, f"lintwick-report {ARGS.version}\n")
        with tempfile.TemporaryDirectory() as tree:
            open(os.path.join(tree, "empty.tmp"), "w").close()
            out = run(report, "zero", "--format", "json", tree, check=True)
            rows = json.loads(out.stdout)["rows"]
            self.assertEqual([row["path"] for row in rows], [os.path.join(tree, "empty.tmp")])

    def test_viewer_finds_the_installed_help_file(self):
        # Neither the starting folder nor the programs' folder holds a help file: the viewer
        # reaches ../share/lintwick/ from where the program runs.
        probe = self.path("bin/help_probe")
        shutil.copy(ARGS.probe, probe)
        try:
            with tempfile.TemporaryDirectory() as start:
                found = run(probe, cwd=start)
        finally:
            os.remove(probe)
        self.assertEqual(found.returncode, 0, found.stderr)
        self.assertEqual(found.stdout.splitlines(),
                         [self.path("share/lintwick/Lintwick.hlp"), "SCRIBBLE90"])


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        built = run(ARGS.cpack, "-G", "DEB", "--config", os.path.join(ARGS.build, "CPackConfig.cmake"),
                    "-B", cls.temp.name, cwd=cls.temp.name)
        if built.returncode != 0:
            raise RuntimeError("cpack failed:\n" + built.stdout + built.stderr)
        packages = [name for name in os.listdir(cls.temp.name) if name.endswith(".deb")]
        if len(packages) != 1:
            raise RuntimeError(f"cpack made {packages}")
        cls.deb = os.path.join(cls.temp.name, packages[0])

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def field(self, name):
        return run("dpkg-deb", "-f", self.deb, name, check=True).stdout.strip()

    def test_package_holds_the_installed_files_as_root_and_is_named_for_apt(self):
        self.assertEqual(os.path.basename(self.deb), f"lintwick_{ARGS.version}_{self.field('Architecture')}.deb")
        self.assertEqual(self.field("Package"), "lintwick")
        self.assertEqual(self.field("Version"), ARGS.version)
        listing = run("dpkg-deb", "-c", self.deb, check=True).stdout.splitlines()
        files = sorted(line.split()[-1].removeprefix("./usr/") for line in listing if not line.startswith("d"))
        self.assertEqual(files, sorted(INSTALLED))
        self.assertTrue(all(line.split()[1] == "root/root" for line in listing))

    def test_dependencies_are_the_qt6_libraries_the_programs_use(self):
        depends = [d.strip().split()[0] for d in self.field("Depends").split(",")]
        for library in ("libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6svg6", "libqt6printsupport6", "libcups2", "libxxhash0", "libc6", "libstdc++6"):
            self.assertIn(library, depends)
        self.assertTrue(all(re.fullmatch(r"lib[a-z0-9.+-]+", d) for d in depends), depends)

    def test_lintian_finds_no_errors_or_warnings(self):
        checked = run("lintian", "--fail-on", "error,warning", "--tag-display-limit", "0", self.deb)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertEqual([line for line in checked.stdout.splitlines() if re.match(r"[EW]: ", line)], [])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v", *UNITTEST_ARGS])
