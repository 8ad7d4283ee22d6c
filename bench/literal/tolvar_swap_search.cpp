// tolvar's swap search for the literal build: every trial measures every distance anew, under
// the engine's own name, so that tolvar_literal is tolvar's main, draws and restarts with only
// the swap search changed.
#include "literal_tolvar.h"

namespace tolvar {

void swapSearch(const std::vector<GeneRow>& rows, int sampleCount, Restart& restart) {
  literal::swapSearch(rows, sampleCount, restart);
}

}  // namespace tolvar
