#!/usr/bin/env python3
"""Puts the program's diagnostics into logging categories, mechanically.

    python3 scripts/log-categories.py          # rewrite in place, print what changed
    python3 scripts/log-categories.py --check  # exit 1 if a bare qDebug/qInfo/qWarning is left

In every .cpp/.h of the program's folders (not tests/, sim/, tools/, bench/):
    qDebug() << ...    ->  qCDebug(lcX) << ...
    qDebug("fmt", ...) ->  qCDebug(lcX, "fmt", ...)          (qInfo, qWarning alike)
and the folder's logging header is included after the file's first #include.
Message texts stay as they are. The category is chosen by FILES (file or
folder, longest match first), a few lines by LINES (a text in the message).
WARN lists the messages that say something is wrong for the user: they become
warnings, which stay on. Running it again changes nothing.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ['app', 'device', 'platform', 'profile', 'widgets', 'osd', 'pages']

# category function -> the header that declares it
HEADERS = {
    'lcProfile': 'profile/logging.h',
    'lcHotplug': 'platform/logging.h',
    'lcPlatform': 'platform/logging.h',
    'lcDevice': 'device/logging.h',
    'lcPoller': 'device/logging.h',
    'lcUi': 'widgets/logging.h',
    'lcOsd': 'platform/logging.h',
}

FILES = {
    'app': 'lcUi',
    'app/mousecfgwidget.cpp': 'lcHotplug',          # its only message: the notifier's registration
    'app/mousecfgwidget_device.cpp': 'lcHotplug',
    'app/profilelibrary.cpp': 'lcProfile',
    'device': 'lcDevice',
    'device/poller.cpp': 'lcPoller',
    'device/pointerspeed.cpp': 'lcPlatform',
    'platform': 'lcPlatform',
    'platform/hidnames.cpp': 'lcHotplug',
    'platform/udevnotifier.cpp': 'lcHotplug',
    'platform/devicenotifier.cpp': 'lcHotplug',
    'profile': 'lcProfile',
    'widgets': 'lcUi',
    'osd': 'lcOsd',
    'pages': 'lcUi',
}

LINES = {
    'Test data:profile': 'lcPoller',
    'SendMessage failed': 'lcOsd',
    'Starting the firmware updater': 'lcUi',
}

WARN = [
    'Starting the firmware updater',
    'udev is not available',
    'Cannot watch the hidraw subsystem',
    'Cannot create the configuration folder',
    'Single instance lock %s cannot be created',
]

CALL = re.compile(r'\bq(Debug|Info|Warning)\((\s*\))?')


def category_for(rel):
    best = None
    for key, cat in FILES.items():
        if rel == key or rel.startswith(key + '/'):
            if best is None or len(key) > len(best[0]):
                best = (key, cat)
    return best[1] if best else None


def statement_at(text, pos):
    """The text from pos to the end of the statement (the next ';')."""
    end = text.find(';', pos)
    return text[pos:end if end >= 0 else len(text)]


def add_include(rel, text, header):
    """#include "header" among the file's quoted includes, in order; the
    file's own header stays first."""
    line = '#include "%s"' % header
    if line in text:
        return text
    lines = text.split('\n')
    quoted = [i for i, l in enumerate(lines) if l.startswith('#include "')]
    stem = os.path.splitext(rel)[0]
    own = {'#include "%s.h"' % stem, '#include "%s.h"' % os.path.basename(stem)}
    if quoted and lines[quoted[0]] in own and rel.endswith('.cpp'):
        if len(quoted) == 1:
            lines[quoted[0] + 1:quoted[0] + 1] = ['', line]
            return '\n'.join(lines)
        quoted = quoted[1:]
    if not quoted:
        first = [i for i, l in enumerate(lines) if l.startswith('#include')]
        at = first[0] if first else 0
        lines[at:at] = [line, ''] if first else [line]
        return '\n'.join(lines)
    for i in quoted:
        if lines[i] > line:
            lines.insert(i, line)
            return '\n'.join(lines)
    lines.insert(quoted[-1] + 1, line)
    return '\n'.join(lines)


def convert(rel, text):
    default = category_for(rel)
    used = set()
    out = []
    last = 0
    for m in CALL.finditer(text):
        stmt = statement_at(text, m.start())
        cat = default
        for needle, c in LINES.items():
            if needle in stmt:
                cat = c
        level = m.group(1)
        if level == 'Debug' and any(w in stmt for w in WARN):
            level = 'Warning'
        used.add(cat)
        out.append(text[last:m.start()])
        if m.group(2):                      # qDebug() << ...
            out.append('qC%s(%s)' % (level, cat))
        else:                               # qDebug("fmt", ...)
            out.append('qC%s(%s, ' % (level, cat))
        last = m.end()
    out.append(text[last:])
    text = ''.join(out)
    headers = {HEADERS[c] for c in used}
    if 'app/logging.h' in headers:          # it includes the other folders' headers
        headers = {'app/logging.h'}
    for header in sorted(headers):
        text = add_include(rel, text, header)
    return text


def main():
    check = '--check' in sys.argv
    left = []
    for folder in FOLDERS:
        base = os.path.join(ROOT, folder)
        for dirpath, _, names in os.walk(base):
            for name in sorted(names):
                if not name.endswith(('.cpp', '.h')) or name == 'logging.h':
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, ROOT)
                with open(path, encoding='utf-8') as f:
                    text = f.read()
                if not CALL.search(text):
                    continue
                if check:
                    left.append(rel)
                    continue
                new = convert(rel, text)
                if new != text:
                    with open(path, 'w', encoding='utf-8') as f:
                        f.write(new)
                    print('categories:', rel)
    if check and left:
        print('bare qDebug/qInfo/qWarning in:', ' '.join(left))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
