// The register editor's actions as a user starts them, each timed from the bench's click until
// the editor has shown its result, beside the bare requests the action contains.
#pragma once
#include "tests/wine/harness/harness.h"

namespace bench {

// One round of the actions, in ms (-1: it did not finish).
struct ActionTimes {
  double rereadUnchanged = -1;  // Reread of a chip that the editor shows as it is
  double rereadChanged = -1;    // Reread after every writable register was changed behind its back
  double reset = -1;            // Reset from a state that differs in every writable register
  double fileDialog = -1;       // Load's file dialog, from its Open until it has gone
  double load = -1;             // then the Load of a snapshot that differs in every writable register
  double reinit = -1;
  double fieldChange = -1;  // one list field, until the server logged the write
  double reads = -1;        // the 25 reads of a Reread, bare
  double writes = -1;       // the 20 writes of a Reinit, bare
  double write = -1;        // the field change's write, bare
  double hop = -1;          // one bench-to-editor message (WM_NULL)
};

// Starts the editor from box (whose chip is at power-on), runs the actions once to warm up and
// once measured, and closes it; false when the editor or its server did not come up.
bool measureEditorActions(const harness::Sandbox& box, ActionTimes* times);

}  // namespace bench
