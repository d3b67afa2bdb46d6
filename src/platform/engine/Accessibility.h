// What a screen reader finds in a picture box, whatever the window system: the box, named by its
// tooltip, and one node for each label with a caption that lies inside the box's form. A label
// is a link when it shows the hand pointer; it is showing when some of it is in the box's window
// and not under a box in front (the title picture), and then the keyboard's focus can come to
// it; a link's one action is the press a left button gives it. The model answers every question
// a reader asks and works out what changed since the box's window last told one; each surface
// only maps nodes and changes to its platform's accessibility interface. Changes are told at
// most every kAccessibleChangeInterval milliseconds (a row scrolling every tick would otherwise
// flood the reader with events), a move of the keyboard's focus at once.
#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/engine/Lifetime.h"
#include "platform/engine/Surface.h"
#include "platform/forms/LabelArray.h"

namespace platform::engine {

class BoxCore;

inline constexpr int kAccessibleChangeInterval = 500;

enum class AccessibleRole { Graphic, Pane, Link, StaticText };

// The one action a node may offer.
enum class AccessibleAction { None, Jump };

// The action's name as readers know it ("" for none).
std::string_view ActionName(AccessibleAction action);

// Which label a node stands for: the same for as long as the label stays loaded.
struct AccessibleKey {
  const LabelArray* labels = nullptr;
  int index = -1;
  friend bool operator==(const AccessibleKey&, const AccessibleKey&) = default;
  friend bool operator<(const AccessibleKey& a, const AccessibleKey& b) {
    return a.labels != b.labels ? a.labels < b.labels : a.index < b.index;
  }
};

// Everything a reader is told of one label.
struct AccessibleNode {
  AccessibleKey key;
  AccessibleRole role = AccessibleRole::StaticText;
  text::SharedText name;         // the caption
  text::SharedText description;  // the tooltip
  bool link = false;
  bool showing = false;
  bool focusable = false;  // the keyboard's focus can come to it
  bool focused = false;    // it has the keyboard's focus
  AccessibleAction action = AccessibleAction::None;
  Pixels rect;  // in the box's window pixels; may lie left of the window, under a box in front
};

// One thing a reader is told of, about the node with the key.
struct AccessibleEvent {
  enum class Kind {
    Added,        // a label came to be offered
    Removed,      // it is no longer offered
    Shown,        // it began to show
    Hidden,       // it stopped showing
    Renamed,      // its caption changed
    Redescribed,  // its tooltip changed
    Moved,        // a label that shows moved
    Focused,      // the keyboard's focus came to it
    FocusLost,    // the keyboard's focus left it
  };
  Kind kind;
  AccessibleKey key;
  friend bool operator==(const AccessibleEvent&, const AccessibleEvent&) = default;
};

// What a reader must be told when the offered nodes went from before to now: removals first,
// then, in the order of now, additions and changes; the focus last, the one it left before the
// one it came to.
std::vector<AccessibleEvent> AccessibleEvents(const std::vector<AccessibleNode>& before,
                                              const std::vector<AccessibleNode>& now);

// The model of one box, which its window's reader bridge asks.
class AccessibleModel {
 public:
  explicit AccessibleModel(BoxCore& box);
  ~AccessibleModel();
  AccessibleModel(const AccessibleModel&) = delete;
  AccessibleModel& operator=(const AccessibleModel&) = delete;

  // The box itself: a picture when it holds no labels (the title picture), else a pane that
  // holds the row; named by its tooltip.
  AccessibleRole role() const;
  const std::string& name() const;

  // The labels offered, array by array in increasing index; none when nothing of the box shows.
  std::vector<AccessibleNode> nodes() const;
  // The label with the key while it is loaded in the box, offered or not (then neither showing
  // nor focusable); nothing once it is gone.
  std::optional<AccessibleNode> node(const AccessibleKey& key) const;
  // The offered label that shows at the point (window pixels); nothing where none does.
  std::optional<AccessibleNode> nodeAt(int x, int y) const;
  // Whether the point (window pixels) lies in the box's window.
  bool inWindow(int x, int y) const;
  // Runs the node's action after the event being handled now, as the pointer would (a link's
  // press opens it once); false, and nothing runs, when the label is not offered or has none.
  bool act(const AccessibleKey& key);

  // The box moved or one of its labels changed: the window hears of it within an interval.
  void noteChange();
  // The keyboard's focus came to or left one of the box's labels: the window hears at once.
  void noteFocus();

 private:
  void tick();
  void report();

  BoxCore& box_;
  std::unique_ptr<NativeTimer> timer_;
  bool running_ = false;
  bool pending_ = false;
  std::vector<AccessibleNode> told_;  // what the window's reader was last told of
  Lifetime lifetime_;
};

}  // namespace platform::engine
