// The exam values that the naming tests build result-file names from (with
// the groups of groups.h), and the names they give.
#pragma once

#include <cstdint>
#include <string>

#include "app/run_values.h"
#include "run_values_of.h"

namespace lotrano {

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
