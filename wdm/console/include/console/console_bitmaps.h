// The console's eight bitmap resources, drawn in code: the lit and unlit
// peak meters and their miniatures, the gang and mute glyphs and the two
// link-button faces. The program registers them at start-up, before it
// builds the bitmap stash that loads them by name.
#pragma once

void RegisterConsoleBitmaps();
