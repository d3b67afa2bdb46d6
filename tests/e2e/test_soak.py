"""The short form of the memory soak (bench/soak.py): ninety seconds of reloads every two
seconds with a 30-item feed. Once the first half-minute has set up the caches, the resident
set must stay flat: keeping about four copies of each reload's 6 KB feed document (as text,
items and labels) would pass the limit within the run."""

import sys

from harness import SOURCE, main

sys.path.insert(0, str(SOURCE / "bench"))

import soak  # noqa: E402

SECONDS = 90
WARMUP = 30
# The long form measured 24 KiB of growth in nine minutes after its first one; a megabyte
# leaves room for the allocator's own ups and downs and is still 23 KiB per reload over the
# 45 reloads.
LIMIT_KIB = 1024


def test_memory_stays_flat_over_many_reloads(binary):
    figures = soak.soak(binary, SECONDS, WARMUP)
    print(soak.describe(figures), flush=True)
    assert figures["reloads"] >= 0.8 * figures["expected_reloads"], figures
    assert figures["growth_kib"] < LIMIT_KIB, figures


if __name__ == "__main__":
    main([test_memory_stays_flat_over_many_reloads])
