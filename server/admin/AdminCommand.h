#pragma once

#include <ostream>

// `tidal-lynx-scores admin [--db FILE|URI] COMMAND ...`: the operator's
// commands on the score database, safe while servers run on it. `argv` holds
// what follows "admin". Returns the exit status: 0 done, 1 the action
// failed, 2 bad usage.
int RunAdminCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
