// The commands the program sends sway: its window by id and process, the person's minimum back.
#include "platform/sway/SwayCommands.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(SwayCommands, PlaceLiftsTheMinimumForThisWindowAloneAndPutsItBack) {
  EXPECT_EQ(PlaceCommand(4194310, 4270, 200, 150, 545, 16, "30 x 20"),
            "floating_minimum_size -1 x -1; [id=4194310 pid=4270] resize set width 545 px "
            "height 16 px, move absolute position 200 150; floating_minimum_size 30 x 20");
  EXPECT_EQ(MinimumSizeIn(""), "0 x 0");
  EXPECT_EQ(MinimumSizeIn("bar {\n}\n floating_minimum_size -1 x -1\r\n"), "-1 x -1");
  EXPECT_EQ(MinimumSizeIn("floating_minimum_size 3 x 2\nfloating_minimum_size 4 x 5"), "4 x 5");
  // Text that is no pair of numbers never reaches a command.
  EXPECT_EQ(MinimumSizeIn("floating_minimum_size $w x 20; exec rm\n"), "0 x 0");
}

}  // namespace
}  // namespace platform
