"""A feed server that sends the headers and then nothing: the program's own time-out ends the
fetch after a minute without progress, and the strip keeps its items and says so. It waits
that minute in real time, so it runs with the soak checks (scripts/soak.sh)."""

from harness import main
from test_faults import test_a_stalled_body_times_out

if __name__ == "__main__":
    main([test_a_stalled_body_times_out])
