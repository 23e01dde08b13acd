// Keeps other programs of the user from ending this process or reading and
// writing its memory: its access list grants the user only waiting and
// querying.
#pragma once

// Applied silently; a failed step leaves the process as it was.
void ApplyProcessAccessPolicy();
