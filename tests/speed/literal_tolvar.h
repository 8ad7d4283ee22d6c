// tolvar's swap search as first written: every trial changes the medoid table and flags in place
// and measures every distance anew. Slow but plainly right; the engine's swap search must match
// it bit for bit, and the literal build of tolvar (bench/) runs it in the engine's place.
#pragma once

#include "tolvar/tolvar.h"

namespace literal {

void swapSearch(const std::vector<tolvar::GeneRow>& rows, int sampleCount, tolvar::Restart& restart);

// The engine's whole search, step by step as searchMedoids takes it, with the literal swap search.
std::vector<int> searchMedoids(std::vector<tolvar::GeneRow>& rows, int sampleCount, int clusterCount,
                               tolvar::RandomSequence& random);

}  // namespace literal
