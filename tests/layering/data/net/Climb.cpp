#include "net/Sock.h"
#include "../xml/Xml.h"
