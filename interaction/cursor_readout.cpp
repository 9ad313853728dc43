#include "interaction/cursor_readout.h"

#include "core/dipdigitize.h"
#include "core/number_format.h"

void showCursorReadout(PictureContext& c, double x, double y)
{
    const ProjectState& st = c.state;
    InteractionHost& host = c.host;
    if (!st.interaction.AwaitingAzimuth) {
        const double iy = imageY(st, y);
        host.setReadout(kDipValue, formatOneDecimal(getdip(st, imageX(st, x), iy)));
        host.setReadout(kDepthValue, formatOneDecimal(getdepth(st, iy)));
        host.setReadout(kAzimuthValue, "");
    }
    host.setReadout(kAzimuthCaption, "Azimuth:");
    host.setReadout(kDipCaption, "Dip:");
    host.setReadout(kDepthCaption, "Depth:");
    host.setReadout(kQualityCaption, "Quality:");
    host.setReadout(kQualityValue, st.CurrentQuality);
    for (int label = kAzimuthCaption; label <= kDepthCaption; ++label)
        host.showReadout(label, true);
}

void showAzimuthReadout(PictureContext& c)
{
    c.host.setReadout(kAzimuthValue, formatOneDecimal(c.state.interaction.PendingAzimuth));
    c.host.setReadout(kAzimuthCaption, "Azimuth:");
    c.host.showReadout(kAzimuthCaption, true);
    c.host.showReadout(kAzimuthValue, true);
}
