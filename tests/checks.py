"""What the Python test scripts share: each failed check is printed and counted, and the script
ends with one summary line and exit status 1 when any failed."""
import sys

failures = []


def check(ok, message):
    """Records `message` as a failure unless `ok`; gives `ok` back."""
    if not ok:
        failures.append(message)
        print("FAIL: " + message)
    return ok


def finish(summary):
    print(f"{len(failures)} check(s) failed" if failures else summary)
    sys.exit(1 if failures else 0)
