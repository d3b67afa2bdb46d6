"""The settings-file durability checks of test_durability.py in their long form: 200 kills
around the save and 40 pairs of programs closing at once, for the faults that show once in
a hundred. They take minutes, so they run with the soak checks (scripts/soak.sh)."""

from harness import main
import test_durability

if __name__ == "__main__":
    test_durability.KILLS = 200
    test_durability.PAIRS = 40
    main([test_durability.test_a_kill_during_the_save_leaves_the_old_file_or_the_new_one,
          test_durability.test_two_programs_closing_at_once_leave_one_whole_file])
