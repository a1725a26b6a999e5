// The groups and exam values that the naming tests build result-file names
// from, and the names they give.
#pragma once

#include <cstdint>
#include <string>

#include "app/run_values.h"

namespace lotrano {

inline Group fileGroup(const std::string& title) {
  Group group;
  group.GroupFromFile = true;
  group.GroupTitle.assign(title);
  return group;
}

inline Group typedGroup(const std::string& text) {
  Group group;
  group.GroupText = text;
  return group;
}

inline ExamData exam(std::int32_t number, const std::string& rangeText) {
  ExamData data;
  data.Problema_de_Examen = number;
  data.ExamNumberText = std::to_string(number);
  data.ProblemSetNumber = 4;  // never part of the name
  data.RangeText = rangeText;
  return data;
}

// The base name of exam 1, range 1-30, for the group "Grupa 1231"; and its variants.
inline const std::string kBase = "Probleme Examen Nr_1 (1-30) Grupa 1231.rez";
inline std::string variant(int k) {
  return "Probleme Examen Nr_1 (1-30) Grupa 1231[" + std::to_string(k) + "].rez";
}

}  // namespace lotrano
