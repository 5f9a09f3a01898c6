#pragma once
// The pictures of the main window's image list (16 x 16), drawn in code:
// folder, file, delete, site manager, site, FileZilla, quit, connect,
// disconnect, about, update check, contact, options, rename.
class TCustomImageList;

// Empties List and fills it with the fourteen pictures, in index order.
void RemplitImages(TCustomImageList* List);
