#!/usr/bin/env python3
"""Writes the site's page: web/page/index.html with its style sheet and its own scripts set into
it, the links that fetch the density's picture sheet early, so the first frame waits for one
file where it waited for eight, the parts written from the game's tables (the menu bar and the
numbers the page shares with the game), and the game's loader after its own scripts.

Usage: inline_page.py PAGE_DIR PRELOAD_HTML PARTS_HTML LOADER_JS OUTPUT_HTML"""
import os
import re
import sys


def main():
    page_dir, preload, parts, loader, output = sys.argv[1:6]
    with open(os.path.join(page_dir, 'index.html'), encoding='utf-8') as f:
        page = f.read()
    for mark, path in (('@PRELOAD@\n', preload), ('@PARTS@\n', parts)):
        with open(path, encoding='utf-8') as f:
            page = page.replace(mark, f.read())

    def style(match):
        with open(os.path.join(page_dir, match.group(1)), encoding='utf-8') as f:
            return '<style>\n' + f.read() + '</style>'
    page = re.sub(r'<link rel="stylesheet" href="([^"]+)">', style, page)

    # The page's own scripts, in their order, as one; the game's loader follows as a script of its
    # own.
    scripts = re.findall(r'<script src="([^"]+)"></script>\n', page)
    if not scripts:
        sys.exit('inline_page.py: the page names no scripts of its own')
    bodies = []
    for name in scripts:
        with open(os.path.join(page_dir, name), encoding='utf-8') as f:
            bodies.append(f'// {name}\n' + f.read())
    joined = '\n'.join(bodies).replace('</script', '<\\/script')
    first = page.index(f'<script src="{scripts[0]}"></script>\n')
    page = re.sub(r'<script src="[^"]+"></script>\n', '', page)
    page = page[:first] + '<script>\n' + joined + '</script>\n' + page[first:]
    with open(loader, encoding='utf-8') as f:
        code = f.read().replace('</script', '<\\/script')
    page = page.replace('@LOADER@\n', '<script>\n' + code + '\n</script>\n')
    with open(output, 'w', encoding='utf-8') as f:
        f.write(page)


if __name__ == '__main__':
    main()
