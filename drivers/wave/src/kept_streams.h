// Streams whose worker did not stop. Such a worker was terminated, but this
// platform cannot stop the code running on it: it may still be in a client's
// callback, and then returns into its stream. The stream, its card object,
// mappings and thread handle are therefore kept as they stand, reachable
// from the module for the rest of the process, and the module pins itself
// so that its code stays mapped after the host frees it.
#pragma once

#include "client_list.h"

// Destroys the node's stream and the node, once the stream's worker has
// ended; else reports the stream and keeps both.
void DestroyStream(CClientList::Node* node);
