// Passes drawn by the object, ceiling, shape, decoration and weather stages. They are not part of this
// renderer yet: the frame calls them at their fixed places and they add nothing.
#include "graphics/renderer/SRenderer.h"

void SRenderer::EmitCellExtra(i32, i32) {}
void SRenderer::EmitCellKind10(i32, i32) {}
void SRenderer::EmitCellObject(i32, i32) {}
void SRenderer::EmitCellObjectType8(i32, i32) {}
void SRenderer::EmitCellLayer(i32, i32, i32) {}
void SRenderer::EmitCellWord9(i32, i32) {}
void SRenderer::EmitCellWord3(i32, i32) {}
void SRenderer::EmitCellSprite(i32, i32) {}
void SRenderer::EmitOutsideCell(i32, i32) {}
void SRenderer::DrawRain(u32, i32) {}
void SRenderer::DrawHandImages() {}

void SRenderer::FillKind10(const SSurface&, i32, const SRenderVertex*, const SSpanTexture&, const STexCoord*,
                           const u16*, u32) {}
