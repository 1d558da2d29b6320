#pragma once
// The round-trip waiter of a program with windows: the server work runs on a
// thread of its own while the GUI thread keeps painting, user input to the
// windows is dropped, and after a moment a small box shows what runs with a
// 取消 button.
namespace morvane {

// Milliseconds without an answer before the box appears.
constexpr int kBusyBoxDelay = 300;

void installBusyWait();

} // namespace morvane
