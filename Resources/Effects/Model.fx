// The effect every frame draws with, first in the effect list: its technique's script names the draw
// groups in the order they are drawn.
