namespace thermo4::core {}
