#include "xml/OxSimpleXml.h"

TOxSimpleXML::TOxSimpleXML(TObject* AOwner) : FOwner(AOwner), FKelSimpleXML(std::make_unique<TKelHackSimpleXML>()) {}

TOxSimpleXML::~TOxSimpleXML() = default;
