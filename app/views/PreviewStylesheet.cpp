#include "app/views/PreviewStylesheet.h"

#include "generated/PreviewTreeXsl.h"

std::string_view PreviewTreeStylesheet()
{
    return {kPreviewTreeXsl, sizeof kPreviewTreeXsl - 1};
}
