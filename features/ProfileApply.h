#pragma once

class myQQuickView;

// Sends what the current profile stores, the way the pages do when they are
// initialised with sending on (after a profile switch): store, then send.
namespace ProfileApply
{

void keyMatrix(myQQuickView &view);
void reportRate(myQQuickView &view);
void dpi(myQQuickView &view);
void lighting(myQQuickView &view);

// All of the above in the order of a profile switch.
void all(myQQuickView &view);

} // namespace ProfileApply
