// The form engine that a test's forms are made with when the test needs none of its own: one
// for the whole test program, on the real surface of the system it was built for. A test that
// ends the program makes an engine of its own, so that the tests after it start afresh.
#pragma once

#include "platform/engine/Engine.h"

platform::engine::Engine& TestEngine();
