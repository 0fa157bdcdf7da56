#!/usr/bin/python3
"""Puts the page together as one HTML file: the template with its style
sheet, the engine (its WebAssembly embedded in its script) and the page's
scripts inlined, so that the file alone runs, opened from a folder too.

usage: assemble.py OUTPUT ENGINE_JS TEMPLATE STYLE SCRIPT... VERSION
"""
import os
import sys


def inline_script(text, name):
    # A script element ends at the first "</script", whatever the script means.
    if "</script" in text.lower():
        sys.exit(f"assemble.py: {name} holds '</script' and cannot be inlined")
    return f"<script>\n{text}\n</script>"


def main():
    output, engine, template, style, *scripts, version = sys.argv[1:]
    with open(template, encoding="utf-8") as f:
        page = f.read()
    with open(style, encoding="utf-8") as f:
        css = f.read()
    parts = [inline_script(open(engine, encoding="utf-8").read(), engine)]
    parts += [inline_script(open(s, encoding="utf-8").read(), s) for s in scripts]
    for marker in ("<!--style-->", "<!--scripts-->", "@VERSION@"):
        if page.count(marker) < 1:
            sys.exit(f"assemble.py: {template} has no {marker}")
    page = page.replace("<!--style-->", f"<style>\n{css}</style>")
    page = page.replace("@VERSION@", version)
    page = page.replace("<!--scripts-->", "\n".join(parts))
    os.makedirs(os.path.dirname(output), exist_ok=True)
    temporary = output + ".part"
    with open(temporary, "w", encoding="utf-8") as f:
        f.write(page)
    os.replace(temporary, output)


if __name__ == "__main__":
    main()
