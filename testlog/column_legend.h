#pragma once

// The column legend of the default headers: the pin names, read downwards, after the format's
// comment mark ("!" or "//").
namespace kvt::testlog {

constexpr const char* kColumnLegend[] = {
    "                               ADR     DATA   ANN ISSAAL NNCD TTR \n",
    "                              [5:0]   [7:0]   LRW RIOUUD CRL3 XXX \n",
    "                                              EAD QNU12M SSK2 12  \n",
};

}  // namespace kvt::testlog
