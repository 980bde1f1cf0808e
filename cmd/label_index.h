#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "cmd/scf_reader.h"

namespace kvt::cmd {

// Where each label of a command file stands, so a jump goes there without reading the file
// from its top again. Labels are read as a jump's search reads them (pieces of 199
// characters, upper-cased); of two equal labels the first from the top counts.
class LabelIndex {
 public:
  struct Place {
    std::uint64_t next;  // where the piece after the label line starts (ScfReader::seek)
    int32_t line;        // the label line's number, counted in pieces from 1
  };

  // Reads the file through once, unless done before; the reader is left where it was.
  void build(ScfReader& reader);
  std::optional<Place> find(const std::string& label) const;

 private:
  bool built_ = false;
  std::unordered_map<std::string, Place> places_;
};

}  // namespace kvt::cmd
