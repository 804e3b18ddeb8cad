// The faced label: what the player looks at (a person beside them, a townsperson at a wall, the first
// monsters ahead) shown in two small panels over the bottom of the view with a health bar.
#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "world/SMapObjectType.h"

namespace {

constexpr u32 kTextColour = 25600;      // colour word of the label texts
constexpr u16 kHostileBar = 63488;      // RGB565
constexpr u16 kNormalBar = 800;         // RGB565
constexpr i32 kIconFallbackWidth = 12;  // when the attack icon is missing

const char* MonsterName(const SMapMonster& m) {
  if (!m.monster) return "";
  if (m.monster->label && *m.monster->label) return m.monster->label;
  return m.monster->name.Text() ? m.monster->name.Text() : "";
}

}  // namespace

void SStateGame::LayoutLabelPanels() {
  i32 vx = viewX, vy = viewY, vw = viewWidth, vh = viewHeight;
  if (core)
    if (const SLayoutItem* v = core->GetLayoutItem(SLayoutTable::kGameScreen, SLayoutTable::kViewControl)) {
      vx = v->x;
      vy = v->y;
      vw = v->w;
      vh = v->h;
    }
  const i32 h = font ? font->Font(1) ? font->Font(1)->lineHeight : 0 : 0;
  for (u32 k = 0; k < 2; ++k) {
    SLabelPanel& p = labels[k];
    p.width = vw * 9 / 20;
    p.height = p.lines == 2 ? 2 * h + 11 : h + 10;
    p.x = k == 0 ? vx + 2 : vx + vw - 2 - p.width;
    p.y = vy + vh - (p.lines == 2 ? 2 : 1) - p.height;
  }
}

void SStateGame::FitLabelText(SLabelPanel& panel, const char* name) {
  panel.text.Assign(name ? name : "");
  panel.lines = 1;
  if (!font || panel.text.IsEmpty()) {
    LayoutLabelPanels();
    return;
  }
  const SImage* icon = core ? core->Picture(PictureRole::kLabelAttackIcon) : nullptr;
  const i32 iconWidth = icon ? icon->width : kIconFallbackWidth;
  LayoutLabelPanels();
  const i32 textWidth = panel.width - iconWidth - 6;
  font->Select(1, kTextColour, 0);
  i32 widest = 0, lines = 0;
  font->MeasureText(panel.text.CStr(), textWidth, &widest, &lines);
  if (lines > 2) {
    // Too long for two lines: the first line only.
    i32 fitted = 0, stop = 0;
    const i32 end = font->FitText(panel.text.CStr(), 0, textWidth, &fitted, true, &stop);
    SString first;
    first.AppendN(panel.text.CStr(), u32(end > 0 ? end : 0));
    first.Trim();
    panel.text = first;
    lines = 1;
  }
  panel.lines = lines >= 2 ? 2 : 1;
  LayoutLabelPanels();
}

void SStateGame::UpdateFacedLabel() {
  for (SLabelPanel& p : labels) {
    p.shown = 0;
    p.text.Assign("");
    p.percent = 0;
    p.hostile = 0;
    p.lines = 1;
  }
  const i32 px = window.playerX, py = window.playerY;
  SMapCell* own = window.Cell(px, py);
  if (!own || !window.CurrentArea()) return;
  auto show = [this](u32 k, const char* name, i32 percent, bool hostile) {
    SLabelPanel& p = labels[k];
    p.shown = 1;
    p.percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    p.hostile = hostile ? 1 : 0;
    FitLabelText(p, name);
  };
  const i32 a = PositiveMod(facing, 360);
  // A person sharing the player's cell, standing in front of the player.
  for (u32 slot = 0; slot < 2; ++slot) {
    SMapMonster* m = own->monsterId[slot] ? window.FindBlockMonsterById(px, py, u8(own->monsterId[slot])) : nullptr;
    if (!m || !m->monster || m->monster->kind != 4) continue;
    const u16* record = scene.IsAllocated() ? scene.Monster(m->displayIndex) : nullptr;
    const i32 mx = record ? record[MonsterDraw::kX] : 32768, my = record ? record[MonsterDraw::kY] : 32768;
    const bool ahead =
        (a == 0 && my < 32768) || (a == 90 && mx < 32768) || (a == 180 && my >= 32769) || (a == 270 && mx >= 32769);
    if (!ahead) continue;
    SMapArea* area = window.BlockArea(px, py);
    show(0, MonsterName(*m), area ? i32(area->GetHealthPercent(*m)) : 0, false);
    return;
  }
  const i32 d = SMapWindow::DirectionOfFacing(facing);
  const i32 side = (d + 2) % 4;
  for (i32 k = 1; k <= visibleCells; ++k) {
    const i32 x = px + SMapWindow::kDx[d] * k, y = py + SMapWindow::kDy[d] * k;
    SMapCell* c = window.Cell(x, y);
    SMapArea* area = window.BlockArea(x, y);
    if (!c || !area) return;
    const u8 n = SMapWindow::TypeNumber(c->centreType);
    if (n == 5 || n == 20 || n == 22) {
      const SMapObjectInst* o = window.FindBlockObjectById(x, y, c->centreObjectId);
      if (!o || o->IsActive()) {
        if (n == 5 && SMapWindow::TypeNumber(c->sideType[side]) == 12) {
          const SMapObjectInst* person = window.FindBlockObjectById(x, y, c->sideObjectId[side]);
          if (person && person->IsActive()) {
            const SNpc* npc =
                core && person->targetText ? core->world.rules.people.FindByName(person->targetText) : nullptr;
            const char* name = npc && npc->texts[0] ? npc->texts[0] : person->targetText;
            show(0, name ? name : "", 100, false);
          }
        }
        return;
      }
    }
    bool met = false;
    for (u32 slot = 0; slot < 2; ++slot) {
      SMapMonster* m = c->monsterId[slot] ? window.FindBlockMonsterById(x, y, u8(c->monsterId[slot])) : nullptr;
      if (!m || !m->monster) continue;
      show(met ? 1 : 0, MonsterName(*m), i32(area->GetHealthPercent(*m)), area->IsAggressive(*m));
      met = true;
    }
    if (met) return;
  }
}

void SStateGame::DrawLabelPanels() {
  if (!display || !core) return;
  const SImage* background = core->Picture(PictureRole::kLabelBackground);
  const SImage* icon = core->Picture(PictureRole::kLabelAttackIcon);
  const i32 iconWidth = icon ? icon->width : kIconFallbackWidth;
  for (u32 k = 0; k < 2; ++k) {
    const SLabelPanel& p = labels[k];
    if (!p.shown || p.width <= 2 || p.height <= 2) continue;
    display->TileImage(p.x, p.y, p.width, p.height, background);
    display->DrawFrame(p.x, p.y, p.width, p.height);
    if (font) {
      font->Select(1, kTextColour, 0);
      font->DrawText(p.x + iconWidth + 3, p.y + 3, p.x + p.width - 3, p.y + p.height - 3, p.text.CStr(), 0);
    }
    const i32 barHeight = p.lines == 2 ? 3 : 4;
    const i32 barWidth = (p.width - 2) * p.percent / 100;
    if (barWidth > 0)
      display->FillRect(p.x + 1, p.y + p.height - 1 - barHeight, barWidth, barHeight,
                        p.hostile ? kHostileBar : kNormalBar);
    if (p.hostile && i32(k) == selectedHand) display->DrawImage(icon, p.x + 2, p.y + 2);
  }
}
