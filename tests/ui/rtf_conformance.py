#!/usr/bin/env python3
"""The rich edit control's RTF against tools no one here wrote.

pandoc makes RTF from a Markdown file; the control loads it (under Wine, in
ui_platform_tests' RichEditWin.RtfConformanceFiles) and its text must equal
what unrtf reads from the same file. The control's own RTF of that text must
read back the same through pandoc and unrtf, and a word set bold must stay
bold. Texts are compared after whitespace normalisation; the bullet glyph of
a list item (which unrtf leaves out of pandoc's RTF and writes as '"' from
the control's) is taken as markup.

usage: rtf_conformance.py <wine-test.sh> <ui_platform_tests.exe> <fixture.md>
"""
import os
import re
import subprocess
import sys
import tempfile


def normalise(text):
    text = text.replace("\u2022", " ")
    return re.sub(r"\s+", " ", text).strip()


def unrtf_text(path):
    out = subprocess.run(["unrtf", "--text", path], check=True, capture_output=True).stdout.decode("utf-8", "replace")
    # unrtf's own header lines and the rule under them; a list item's
    # bullet (\'95) it writes in text mode as a '"' alone before the tab.
    lines = [l for l in out.splitlines() if not l.startswith("###") and not re.fullmatch(r"-{5,}", l)]
    lines = [re.sub(r'^"(\s+)$', r"\1", l) for l in lines]
    return normalise("\n".join(lines))


def pandoc(path, to):
    return subprocess.run(["pandoc", "-f", "rtf", "-t", to, path], check=True,
                          capture_output=True).stdout.decode("utf-8")


def main():
    wine_test, exe, fixture = sys.argv[1:4]
    failures = []

    def check(ok, what):
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            failures.append(what)

    keep = os.environ.get("TW_RTF_KEEP")
    with tempfile.TemporaryDirectory(prefix="tw-rtf-") as work:
        if keep:
            work = keep
            os.makedirs(work, exist_ok=True)
        harbour = os.path.join(work, "harbour.rtf")
        subprocess.run(["pandoc", "-s", "-t", "rtf", fixture, "-o", harbour], check=True)
        env = dict(os.environ, TW_RTF_WORK="Z:" + work.replace("/", "\\"))
        run = subprocess.run([wine_test, exe, "--gtest_filter=RichEditWin.RtfConformanceFiles"], env=env)
        check(run.returncode == 0, "the control loaded and saved the files")
        if run.returncode != 0:
            return 1
        loaded = normalise(open(os.path.join(work, "loaded.txt"), "rb").read().decode("cp1252"))
        expected = unrtf_text(harbour)
        check(loaded == expected, "pandoc RTF loaded: text equals unrtf --text")
        if loaded != expected:
            print("  control:", loaded, "\n  unrtf:  ", expected)
        saved = os.path.join(work, "saved.rtf")
        reread = unrtf_text(saved)
        check(reread == loaded, "saved RTF read by unrtf gives the same text")
        if reread != loaded:
            print("  control:", loaded, "\n  unrtf:  ", reread)
        check(normalise(pandoc(saved, "plain")) == normalise(pandoc(harbour, "plain")),
              "saved RTF read by pandoc gives the same text as pandoc's own RTF")
        bold = os.path.join(work, "bold.rtf")
        raw = open(bold, "rb").read().decode("latin-1")
        check(re.search(r"\\b(?![a-z])[^{}]*?bold", raw) is not None, "the bold word is under \\b in the saved RTF")
        markdown = pandoc(bold, "markdown")
        check("**bold**" in markdown and "**plain" not in markdown, "pandoc reads that word, and only it, as bold")
        html = subprocess.run(["unrtf", "--html", bold], check=True, capture_output=True).stdout.decode("utf-8", "replace")
        check(re.search(r"<b>\s*bold\s*</b>", html) is not None, "unrtf reads that word as bold")
        check(unrtf_text(bold) == "plain words then bold and plain again", "the bold file's text")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
