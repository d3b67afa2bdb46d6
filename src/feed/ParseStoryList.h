// The plain story list: "STORY " starts the list, each "HEADLINE " line is a title and the
// next "URL " line its link. The empty element comes last.
#pragma once

#include <string_view>

#include "feed/NewsItem.h"

// Replaces arrItems with one item per story and an empty last element. Fails only when memory
// runs out (std::bad_alloc), and then leaves arrItems as it was.
void ParseStoryList(std::string_view document, ItemList& arrItems);
