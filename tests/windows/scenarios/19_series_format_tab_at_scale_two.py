"""At scale 2, the chart editor opened on a resulting-data chart, a curve chosen in its series list: the curve's
own editor form fills the "Format" tab, every one of its controls inside the dialog and none over
another."""
import importlib.util
import os

# The same steps and checks as at scale one.
_found = importlib.util.spec_from_file_location(
    "series_format_tab_at_scale_one",
    os.path.join(os.path.dirname(os.path.abspath(__file__)), "18_series_format_tab_at_scale_one.py"))
_steps = importlib.util.module_from_spec(_found)
_found.loader.exec_module(_steps)

SCALE = 2
run = _steps.run
