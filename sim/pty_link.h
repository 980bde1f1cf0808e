#pragma once

#include <string>

// The symbolic link kvt-sim may put in front of its pseudo-terminal, so a start-up file can
// name a fixed path. A link is a user's file like any other: only one that plainly belongs to a
// kvt-sim that is gone (it points at a pseudo-terminal that no longer exists) is replaced.
namespace kvt::sim {

// Makes `link` point at `target` (the pty's slave path). A missing `link` is created; a link
// to a /dev/pts/ entry that no longer exists is replaced. Anything else (a file, a folder, a
// link to anything else, a link to a pty in use, e.g. by another kvt-sim) is left as it is and
// the call fails with a sentence for people in `error`.
bool ClaimPtyLink(const std::string& link, const std::string& target, std::string& error);

// Removes `link` if it still points at `target` (it may have been replaced meanwhile).
void ReleasePtyLink(const std::string& link, const std::string& target);

}  // namespace kvt::sim
