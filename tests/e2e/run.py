"""Runs one end-to-end test: python3 run.py MODULE FUNCTION."""
import importlib
import sys
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))


def main():
    module, function = sys.argv[1], sys.argv[2]
    test = getattr(importlib.import_module(module), function)
    try:
        test()
    except Exception:
        traceback.print_exc()
        print(f"FAILED {module}.{function}")
        return 1
    print(f"PASSED {module}.{function}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
