#!/usr/bin/env python3
# Fills the unfinished entries of the English catalogue whose source is
# already English (the command-line programs' and the decoder's texts): their
# translation is the source itself. Entries with Chinese sources are left for
# a translator.
import re
import sys

path = sys.argv[1] if len(sys.argv) > 1 else "translations/tavo_en.ts"
text = open(path, encoding="utf-8").read()
pattern = re.compile(r'(<source>)([^<]*)(</source>\s*<translation) type="unfinished"></translation>')


def finish(m):
    if re.search(r"[\u3000-\u9fff\uff00-\uffef]", m.group(2)):
        return m.group(0)
    return m.group(1) + m.group(2) + m.group(3) + ">" + m.group(2) + "</translation>"


open(path, "w", encoding="utf-8").write(pattern.sub(finish, text))
