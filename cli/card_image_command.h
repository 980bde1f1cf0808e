#pragma once

#include <string>
#include <vector>

#include "cli/session.h"

// kvt-cli card dump FILE [KEY] and card restore FILE [KEY]: a whole Korvex 1K card to and from a
// 1024-byte image (64 blocks of 16 bytes, block 0 first), the layout the simulator's
// --sim-card-file reads. Each sector is opened with key A = KEY (12 hex digits, default
// 5A17C3E90B42) through the card reader's steps, so the log shows every step's line.
//
//   dump     reads every block the key opens; a block that cannot be read is zeros in the
//            image and gets a line in the log. The trailers carry KEY as key A (a card never
//            lets key A be read back), so the image opens as the card did. The file is
//            replaced in one step.
//   restore  writes the data blocks of the image back, never block 0 (the maker's); with
//            --trailers also the sector trailers (keys and access bits), each after its
//            sector's data.
namespace kvt::cli {

// Whether `arguments` (the words after "card") ask for an image action.
bool IsCardImageAction(const std::vector<std::string>& arguments);
// An error text for malformed image-action arguments, or empty.
std::string CheckCardImageAction(const std::vector<std::string>& arguments);
// Runs it on the open port. Exit status: 0 when it ran (blocks that failed are counted for
// --strict), 1 when no card could be activated or the image file could not be read or written.
int RunCardImageAction(Session& session, const std::vector<std::string>& arguments);

}  // namespace kvt::cli
