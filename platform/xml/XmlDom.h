#pragma once

// The parser component: a DOM over libxml2 and libxslt.
#include "platform/xml/DomError.h"
#include "platform/xml/ParserRegistry.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlElement.h"
#include "platform/xml/XmlNode.h"
#include "platform/xml/XmlNodeList.h"
#include "platform/xml/XmlNodeType.h"
#include "platform/xml/XmlParseError.h"
