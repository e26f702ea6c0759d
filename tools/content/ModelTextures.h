#pragma once

// The procedural pictures that models wear, written as PNG beside each model that uses them.
// All of them tile in both directions: the stage maps them by world position.

#include "tools/content/PicturesCanvas.h"

#include <memory>
#include <string>

struct MeshTexture {
    std::string fileName;
    Canvas picture;
};

using TextureRef = std::shared_ptr<const MeshTexture>;

TextureRef FloorPanelsTexture();    // steel floor plates with seams, bolts and tread plate
TextureRef WallPlatingTexture();    // light wall panels with seams and rivets
TextureRef HazardStripesTexture();  // worn yellow and black diagonal stripes
TextureRef TrimTexture();           // dark ribbed gunmetal for skirting and frames
TextureRef GirderTexture();         // painted steel girders with flanges and rivet rows
TextureRef CeilingTexture();        // dark ceiling tiles with vents
TextureRef CrateTexture();          // cargo container sides with braces
TextureRef TreadLinksTexture();     // caterpillar links; u runs along the belt, 16 links a repeat
TextureRef DrumLabelTexture();      // drum wrap: ribs, painted body, warning band
TextureRef BreakerPanelTexture();   // breaker front: grey door with a high-voltage sign
TextureRef DoorPanelTexture();      // elevator door leaf: brushed steel, window band, stripes
