#pragma once
// The conversion run for long lists, as the command line runs it: lines are
// read and checked in order, in batches, and the points of a batch are
// carried and written on several threads.
#include <cstddef>

#include "conversion/run.h"

namespace korvagrid {

// Text, questions, messages and outcome are those of ConversionRun, except
// that a run stopping at a point that cannot be carried (an arithmetic fault)
// may already have asked the questions of later lines of its batch; the
// window therefore keeps the plain run. `points`, when given, receives every
// converted point in the order of the text, on the calling thread.
RunOutcome ConversionRunInBatches(LineSource& lines, ResultSink& out,
                                  const ConversionSettings& settings, Interaction& interaction,
                                  PlacementRandom& random, int threads, std::size_t batchLines,
                                  PointSink* points = nullptr);

}  // namespace korvagrid
