#pragma once

// The pipeline state blocks by name, for headers that only hold them (see FwRenderStates.h).

#include <memory>

enum class FwBlendMode : int { Opaque = 0, Alpha = 1, Add = 2 };
enum class FwCullMode { None, Front, Back };
enum class FwFillMode { Solid, Wireframe };
enum class FwFilter : int { Point = 0, Linear = 1, Anisotropic = 2 };
enum class FwAddressMode : int { Wrap = 0, Clamp = 1 };

struct FwBlendState;
struct FwDepthStencilState;
struct FwRasterizerState;
struct FwSamplerState;

using FwBlendStatePtr = std::shared_ptr<const FwBlendState>;
using FwDepthStencilStatePtr = std::shared_ptr<const FwDepthStencilState>;
using FwRasterizerStatePtr = std::shared_ptr<const FwRasterizerState>;
using FwSamplerStatePtr = std::shared_ptr<const FwSamplerState>;
