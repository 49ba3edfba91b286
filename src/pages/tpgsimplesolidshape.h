#pragma once

#include "tpgbasesolidshape.h"

/// The base of picture objects; adds nothing to the rectangle shape.
class TPgSimpleSolidShape : public TPgBaseSolidShape
{
public:
    using TPgBaseSolidShape::TPgBaseSolidShape;
};
