#pragma once
// One function per picture of the default pack. Each paints a canvas of the picture's design
// size (square pixels at the aspect the show displays it at, see Pack.h), rows top first.
#include "Canvas.h"

namespace art {

// The opening: the group, the title card, the news ident.
void drawZvq(Canvas& c);
void drawTitleCard(Canvas& c);
void drawNewsLogo(Canvas& c);

// The parade: the ground, the rider (facing right, transparent around), three frames of static.
void drawParadeGround(Canvas& c);
void drawUnicorn(Canvas& c);
void drawSnow1(Canvas& c);
void drawSnow2(Canvas& c);
void drawSnow3(Canvas& c);

// The crew cards: an emblem that gains one segment a card, with a credit line each.
void drawCrewCard1(Canvas& c);
void drawCrewCard2(Canvas& c);
void drawCrewCard3(Canvas& c);
void drawCrewCard4(Canvas& c);
void drawCrewCard5(Canvas& c);
void drawCrewCard6(Canvas& c);

// The closing picture.
void drawSunset(Canvas& c);

// The slide series (there is no slide 6).
void drawSlide1(Canvas& c);
void drawSlide2(Canvas& c);
void drawSlide3(Canvas& c);
void drawSlide4(Canvas& c);
void drawSlide5(Canvas& c);
void drawSlide7(Canvas& c);
void drawSlide8(Canvas& c);
void drawSlide9(Canvas& c);

// The light-and-shadow composite.
void drawStageLit(Canvas& c);
void drawStageDark(Canvas& c);
void drawBang(Canvas& c);
void drawWomanFront(Canvas& c);

// The fish tableau.
void drawPanorama(Canvas& c);
void drawGroupPortrait(Canvas& c);
void drawFriendlyFish(Canvas& c);
void drawFlippedFish(Canvas& c);
void drawBrakko(Canvas& c);
void drawPonyBubble(Canvas& c);
void drawShotgun(Canvas& c);

} // namespace art
