// The fixed family of thirty securities, in catalogue order. Every investor
// holds its own copy, keyed by name.
#pragma once

#include <array>
#include <string_view>

namespace orlendo {

struct CatalogueRow {
  std::string_view code;
  std::string_view name;  // also the key in Securities and the data file's section name
};

inline constexpr std::array<CatalogueRow, 30> kCatalogue{{
    {"QVX", "Quorvex"},
    {"FRT", "Ferrant Technologies"},
    {"SOL", "Solvane"},
    {"TBN", "TBN"},
    {"Altamor", "Altamor"},
    {"LUM1", "Lumora"},
    {"ALTCOM", "Altamor Communications"},
    {"ZPH", "Zephrin"},
    {"QVXW", "Quorvex Wireless"},
    {"DMW", "Dunmarrow"},
    {"CV", "Corvallan"},
    {"SKV", "Skyvell Communications"},
    {"VTL", "Vantrel"},
    {"KSN", "KSN Communications"},
    {"ORVA", "Orvanta"},
    {"HLV", "Halvern"},
    {"TSL", "Tessaline"},
    {"MRD", "Meridane"},
    {"TLNA", "Tellano Class A"},
    {"TLNB", "Tellano Class B"},
    {"BRNTL", "Brantel"},
    {"TLN", "Tellano after 5-27-05"},
    {"MQF", "Marquon-Ferrant"},
    {"DRV", "Dirvana"},
    {"CRN", "CRN Logic"},
    {"KLD", "Kaldera Corp"},
    {"HLN", "Hollin Comm"},
    {"RVS", "Ravensby Comm"},
    {"ALD", "Aldamark"},
    {"VSTRM", "Vesterholm Corporation"},
}};

// Position (0-based) of a catalogue name, or -1.
constexpr int cataloguePosition(std::string_view name) {
  for (std::size_t i = 0; i < kCatalogue.size(); ++i)
    if (kCatalogue[i].name == name) return static_cast<int>(i);
  return -1;
}

}  // namespace orlendo
