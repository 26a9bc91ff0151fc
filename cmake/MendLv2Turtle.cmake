# Placeholder until the errors are known.
