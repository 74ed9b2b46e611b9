#!/usr/bin/env python3
"""Writes a pseudo-translation of a Qt Linguist file: every text the
program marks comes back wrapped in marks, so that a window showing a text
without them shows one nobody marked for translation."""
import re
import sys

source, target = sys.argv[1], sys.argv[2]
text = open(source, encoding="utf-8").read()


def wrap(message):
    body = message.group(0)
    original = re.search(r"<source>(.*?)</source>", body, re.S).group(1)
    translation = "<translation>\u27e6" + original + "\u27e7</translation>"
    return re.sub(r"<translation[^>]*?(/>|>.*?</translation>)", lambda _: translation, body,
                  flags=re.S)


text = re.sub(r"<message>.*?</message>", wrap, text, flags=re.S)
text = re.sub(r'language="[^"]*"', 'language="en"', text, count=1)
open(target, "w", encoding="utf-8").write(text)
