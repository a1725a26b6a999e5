// The report of the typed-group re-allocation that teachers are shown as the
// model: group 1234, 8 students, exam problem 2, problem set 1, the range 1 to
// 6, batches drawn as 4 1 6 2 5 3 and 2 5, stamped 21 May 2013 at 9:05:07.
#pragma once

#include <string>
#include <vector>

inline const std::vector<std::string> kTypedReallocationReport = {
    " Grupa: 1234",
    " Numar de Studenti:   8",
    "",
    " Problema de Examen Nr.: 2",
    "",
    " Set de Probleme: #1",
    " Numere Probleme: 1-6  (6 probleme)",
    "",
    " Nr_crt   Numar_Problema_Examen",
    "",
    "   1       4",
    "   2       1",
    "   3       6",
    "   4       2",
    "   5       5",
    "   6       3",
    "   7       2",
    "   8       5",
    "",
    "",
    " Probleme dublate",
    " Nr_crt     Numar_Problema_Examen",
    "",
    "   4   7:   2",
    "   5   8:   5",
    " (Numar de probleme dublate: 2)",
    "",
    " 2013-05-21   09:05:07",
    "",
    " [Re-alocare, cu: \"Seed_2 (1-6) Grupa 1234.dat\"]",
};
