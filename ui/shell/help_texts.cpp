#include "ui/shell/help_texts.h"

#include <QtGlobal>

#include "version.h"

namespace ljgas {

QString aboutText()
{
    return QStringLiteral(
               "<h3>Lennard-Jones Gas</h3>"
               "<p>ljgas version %1<br>Qt %2</p>"
               "<p>Released under the MIT licence.</p>"
               "<p>The window shows 225 discs of radius R in a box whose opposite edges meet, moving under the "
               "Lennard-Jones force between every two of them, computed step by step in single precision. The "
               "light red disc is particle 1, to follow one path. On the right, Tist is the temperature measured "
               "over every 20 steps, and the black panel builds up the radial distribution function g(r) of "
               "the run: how often two discs are found at distance r, compared with a gas without forces.</p>")
        .arg(QString::fromLatin1(Version), QString::fromLatin1(qVersion()));
}

QString readingTheWindowText()
{
    return QStringLiteral(
        "<p>Lengths are in box lengths, and every disc has mass 1. Two discs at distance r have the energy "
        "V(r) = 4&nbsp;e0&nbsp;((&sigma;/r)<sup>12</sup> &minus; (&sigma;/r)<sup>6</sup>), with &sigma; = 2R "
        "the disc diameter.</p>"
        "<dl>"
        "<dt><b>R=</b></dt><dd>The disc radius. It takes effect at the next <b>Initialize</b>, which puts the "
        "discs back on a 15&nbsp;&times;&nbsp;15 lattice; a run going on takes it from its next step, with "
        "g(r) started afresh.</dd>"
        "<dt><b>e0=</b></dt><dd>The depth of the potential well: how strongly two discs at the bottom of the "
        "well, r = 2<sup>1/6</sup>&nbsp;&sigma;, hold together. It takes effect at the next <b>Go</b>.</dd>"
        "<dt><b>Tsoll=</b></dt><dd>The target temperature (<i>soll</i>: what it should be). With "
        "<b>Thermostat</b> ticked, every 20 steps all velocities are scaled by "
        "1 + 0.05&nbsp;(Tsoll/Tist &minus; 1), which closes about a tenth of the gap.</dd>"
        "<dt><b>Tist=</b></dt><dd>The measured temperature (<i>ist</i>: what it is): the mean of "
        "vx&sup2; + vy&sup2; per disc over the last 20 steps, with no factor one half and no Boltzmann "
        "constant, so T is twice the kinetic energy per disc. Well above e0 the discs fly freely; well "
        "below it they cling together into drops and crystals.</dd>"
        "</dl>"
        "<p>A box whose text is not a number in full is read as far as it is one, and as 0 when it does not "
        "begin with one; the status bar under the form says so (\"Tsoll= reads '0,2' as 0: use a point for "
        "decimals\").</p>"
        "<p><b>Reduced units</b>, as the Lennard-Jones literature gives its results, with &sigma; = 2R and "
        "N = 225: distance r* = r/&sigma;, temperature T* = T/(2&nbsp;e0) (the factor 2 undoes this "
        "program's missing &frac12;: Tsoll 0.3 at e0 0.2 is T* = 0.75), energy E* = E/(N&nbsp;e0), "
        "pressure P* = P&nbsp;&sigma;&sup2;/e0.</p>"
        "<p><b>View &rarr; Measurements</b> shows beside the form, at every read-out, the step and the time "
        "(steps &times; 0.001), T, the kinetic, potential and total energy and the pressure, each also "
        "reduced; their history over time (Tsoll dashed), kept across Stop and Go and cleared by "
        "Initialize, Open State or Clear; the discs' speeds over the last ten read-outs against the "
        "Maxwell&ndash;Boltzmann distribution P(v) = (2v/T)&nbsp;exp(&minus;v&sup2;/T); and g(r) against "
        "r/&sigma; with the line g = 1 and a mark at 2<sup>1/6</sup>&nbsp;&sigma;. Measuring costs time, "
        "so it is done only while the panel is shown.</p>"
        "<p><b>g(r)</b>, the black panel: distance r runs to the right, from 0 to 14R, about seven "
        "diameters; up is how often pairs are found at that distance, per ring area, scaled to the highest "
        "point. Each run clears it and starts filling it after 200 steps. Nothing is found below "
        "r&nbsp;&asymp;&nbsp;&sigma;, where the discs repel hard. The first peak lies near "
        "r = 2<sup>1/6</sup>&nbsp;&sigma; &asymp; 1.12&nbsp;&sigma;, the bottom of the well, where nearest "
        "neighbours sit. In a gas the curve falls from there to a flat line; in a liquid a few weaker "
        "humps follow, one diameter apart; in a crystal the peaks stay sharp, at &radic;3 and 2 times the "
        "first.</p>");
}

}  // namespace ljgas
