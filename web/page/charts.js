// Charts of the Measurements panel: curves over two axes widened to round
// numbers, drawn on a canvas, as the window's panel draws them.
"use strict";

const Charts = (() => {
  // An axis from `low` to `high` widened to round numbers, with at most
  // `ticks` labelled ticks: a chart a hundred pixels tall has room for four.
  function fitAxis(low, high, ticks = 4) {
    if (!(low <= high) || !Number.isFinite(low) || !Number.isFinite(high)) {
      low = 0;
      high = 1;
    }
    if (high - low < Math.max(Math.abs(high), 1e-6) * 1e-6) {
      low -= Math.max(Math.abs(low) * 0.05, 1e-3);
      high += Math.max(Math.abs(high) * 0.05, 1e-3);
    }
    const rough = (high - low) / (ticks - 1);
    const magnitude = Math.pow(10, Math.floor(Math.log10(rough)));
    let step = magnitude;
    for (const factor of [1, 2, 2.5, 5, 10, 20]) {
      step = factor * magnitude;
      if (Math.ceil(high / step) - Math.floor(low / step) <= ticks - 1) break;
    }
    return { from: Math.floor(low / step) * step, to: Math.ceil(high / step) * step, step };
  }

  // printf's %.{digits}g, without trailing zeros.
  function number(value, digits) {
    if (!Number.isFinite(value)) return "\u2013";
    if (value === 0) return "0";
    const exponent = Math.floor(Math.log10(Math.abs(Number(value.toPrecision(digits)))));
    if (exponent < -4 || exponent >= digits) {
      const [mantissa, power] = value.toExponential(digits - 1).split("e");
      const trimmed = mantissa.includes(".") ? mantissa.replace(/\.?0+$/, "") : mantissa;
      const p = Number(power);
      return `${trimmed}e${p < 0 ? "-" : "+"}${String(Math.abs(p)).padStart(2, "0")}`;
    }
    const fixed = value.toFixed(Math.max(0, digits - 1 - exponent));
    return fixed.includes(".") ? fixed.replace(/\.?0+$/, "") : fixed;
  }

  // The canvas's backing store at the device's pixels, its CSS size kept.
  function fitCanvas(canvas) {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(canvas.clientWidth * ratio));
    const height = Math.max(1, Math.round(canvas.clientHeight * ratio));
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    return ratio;
  }

  // chart: { x: {from, to, step, title}, y: {...}, series: [{points: [[x, y], ...],
  // colour, dash: [] , bars}], legend: bool }
  function draw(canvas, chart) {
    if (canvas.clientWidth === 0) return;
    const ratio = fitCanvas(canvas);
    const c = canvas.getContext("2d");
    // Labels at the panel's own font size, which scales with the page.
    const style = getComputedStyle(canvas);
    const font = Math.max(9, parseFloat(style.fontSize)) * ratio;
    c.setTransform(1, 0, 0, 1, 0, 0);
    c.fillStyle = "#fff";
    c.fillRect(0, 0, canvas.width, canvas.height);
    c.font = `${font}px ${style.fontFamily}`;
    const left = font * 4.2;
    const right = font * 0.8;
    const top = font * (chart.legend ? 1.8 : 0.8);
    const bottom = font * (chart.x.title ? 2.8 : 1.6);
    const w = canvas.width - left - right;
    const h = canvas.height - top - bottom;
    if (w <= 0 || h <= 0) return;
    const px = (x) => left + ((x - chart.x.from) / (chart.x.to - chart.x.from)) * w;
    const py = (y) => top + h - ((y - chart.y.from) / (chart.y.to - chart.y.from)) * h;

    c.strokeStyle = "#ccc";
    c.lineWidth = ratio;
    c.fillStyle = "#000";
    c.textAlign = "center";
    c.textBaseline = "top";
    const steps = (axis) => Math.round((axis.to - axis.from) / axis.step);
    for (let m = 0; m <= steps(chart.x); ++m) {
      const x = chart.x.from + m * chart.x.step;
      c.beginPath();
      c.moveTo(px(x), top);
      c.lineTo(px(x), top + h);
      c.stroke();
      c.fillText(number(x, 4), px(x), top + h + font * 0.2);
    }
    c.textAlign = "right";
    c.textBaseline = "middle";
    for (let m = 0; m <= steps(chart.y); ++m) {
      const y = chart.y.from + m * chart.y.step;
      c.beginPath();
      c.moveTo(left, py(y));
      c.lineTo(left + w, py(y));
      c.stroke();
      c.fillText(number(y, 4), left - font * 0.3, py(y));
    }
    c.textAlign = "center";
    c.textBaseline = "bottom";
    if (chart.x.title) c.fillText(chart.x.title, left + w / 2, canvas.height - font * 0.1);
    c.save();
    c.translate(font * 0.9, top + h / 2);
    c.rotate(-Math.PI / 2);
    c.textBaseline = "middle";
    if (chart.y.title) c.fillText(chart.y.title, 0, 0);
    c.restore();
    c.strokeStyle = "#666";
    c.strokeRect(left, top, w, h);

    c.save();
    c.beginPath();
    c.rect(left, top, w, h);
    c.clip();
    for (const s of chart.series) {
      if (s.points.length === 0) continue;
      c.strokeStyle = s.colour;
      c.lineWidth = 1.5 * ratio;
      c.setLineDash((s.dash || []).map((d) => d * ratio));
      c.beginPath();
      s.points.forEach(([x, y], m) => (m === 0 ? c.moveTo(px(x), py(y)) : c.lineTo(px(x), py(y))));
      c.stroke();
    }
    c.restore();
    c.setLineDash([]);
    if (chart.legend) {
      let x = left;
      c.textAlign = "left";
      c.textBaseline = "middle";
      for (const s of chart.series) {
        if (!s.name) continue;
        c.strokeStyle = s.colour;
        c.lineWidth = 2 * ratio;
        c.beginPath();
        c.moveTo(x, font * 0.9);
        c.lineTo(x + font * 1.5, font * 0.9);
        c.stroke();
        c.fillText(s.name, x + font * 1.8, font * 0.9);
        x += font * 2.5 + c.measureText(s.name).width;
      }
    }
  }

  return { fitAxis, number, fitCanvas, draw };
})();

if (typeof module !== "undefined") module.exports = Charts;
