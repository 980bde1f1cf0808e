#pragma once

namespace kvt::platform {

// Told before the program really waits (a sleep, a read that the line keeps waiting), so
// output held in buffers reaches its reader first. Set once at start-up; none by default.
void SetWaitNotice(void (*notice)());
// A further notice of a part of the program that holds output of its own (the pattern file);
// adding the same one twice keeps one. At most four.
void AddWaitNotice(void (*notice)());
void NoticeWait();

}  // namespace kvt::platform
