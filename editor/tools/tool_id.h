// tool_id.h: the editor's tools by number, as the palette, the shortcuts and scripts name them.
#pragma once

#include <cstdint>

enum ToolId : int32_t {
    TOOL_SELECT = 0,
    TOOL_ENTITY = 1,
    TOOL_BLOCK = 2,
    TOOL_TEXTURE = 3,
    TOOL_VERTEX = 4,
    TOOL_CLIP = 5,
    TOOL_MOD = 6,
};
