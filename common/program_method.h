// Which of an engine's two methods a program runs. An engine keeps its literal method, plain
// and slow, beside its fast method, both behind one step interface that its clustering is given.
// The engine programs run the fast step; the <engine>_literal programs that the bench times are
// the same main.cpp built with CLUSTERING_LITERAL_PROGRAM and run the literal step, so that the
// two programs differ by the method alone. Both give the same bytes.
#pragma once

#include <type_traits>

namespace clustering {

#ifdef CLUSTERING_LITERAL_PROGRAM
inline constexpr bool LiteralProgram = true;
#else
inline constexpr bool LiteralProgram = false;
#endif

template <typename Literal, typename Fast>
using ProgramStep = std::conditional_t<LiteralProgram, Literal, Fast>;

}  // namespace clustering
