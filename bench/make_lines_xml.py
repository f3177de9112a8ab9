"""Writes an XML-like file of about 100 MB in 2,000,000 CRLF lines for the benchmarks.

Usage: make_lines_xml.py PATH SEED [ENCODING [MEGABYTES]]
  ENCODING goes into the declaration ("" for none); MEGABYTES (default 100) scales
  the size and the line count together, so lines keep their length.
"""
import random
import sys

path, seed = sys.argv[1], int(sys.argv[2])
encoding = sys.argv[3] if len(sys.argv) > 3 and sys.argv[3] else None
megabytes = int(sys.argv[4]) if len(sys.argv) > 4 else 100
random.seed(seed)
words = ["alpha", "beta", "gamma", "delta", "item", "value", "name", "price", "order", "line"]
target_lines, target_size = 20_000 * megabytes, 1_000_000 * megabytes
out = open(path, "wb", buffering=1 << 20)
decl = '<?xml version="1.0"%s?>' % (' encoding="%s"' % encoding if encoding else "")
head = decl.encode() + b"\r\n<catalog>\r\n"
tail = b"</catalog>"
out.write(head)
size, lines, chunk = len(head) + len(tail), 2, []
while lines < target_lines:
    # Aim every line at the length that keeps the total on target.
    want = max(1, int(random.gauss((target_size - size) / (target_lines - lines) - 2, 15)))
    tag = random.choice(words)
    start = "  " * random.randint(1, 4) + '<%s id="%d">' % (tag, lines)
    end = "</%s>" % tag
    body = ""
    while len(body) < want - len(start) - len(end):
        body += random.choice(words) + " "
    body = body[:max(1, want - len(start) - len(end))]
    b = (start + body + end).encode() + b"\r\n"
    chunk.append(b)
    size += len(b)
    lines += 1
    if len(chunk) == 10000:
        out.write(b"".join(chunk))
        chunk = []
out.write(b"".join(chunk))
out.write(tail)
out.close()
