// Dossiers : le modèle, « é » avant l’include fautif
#include "net/Sock.h"
#include "rtl/Types.h"
#include "treeview/Tree.h"
