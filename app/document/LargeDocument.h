#pragma once

#include <cstdint>

// Whether a file of this size opens as text only, in Source mode, with no node
// tree built until the user asks for one: always with "Always start with Source
// View", and for a file above the large-document size when the user said so.
// The first large file asks the user once; the answer is kept in the settings.
bool OpensAsTextOnly(std::uint64_t fileBytes);
